# A Debian package of the installed program: cpack -G DEB in the build folder.
# On Windows a ZIP of the folder windeployqt filled, on macOS a disk image of
# the bundle macdeployqt filled.
if(WIN32)
    set(CPACK_GENERATOR ZIP)
elseif(APPLE)
    set(CPACK_GENERATOR DragNDrop)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()
set(CPACK_PACKAGE_NAME qa-tutor)
set(CPACK_PACKAGE_VENDOR "qa-tutor")
set(CPACK_PACKAGE_CONTACT "qa-tutor developers <dev@qa-tutor.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Study program for the course Precalculus I")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs a platform plugin, which Debian ships apart from the libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
include(CPack)
