# Packages of the installed programs: cpack in the build folder. A Debian
# package on Linux; on Windows a per-user installer and a portable ZIP; on
# macOS a disk image of the bundle macdeployqt filled.
set(CPACK_PACKAGE_NAME qa-tutor)
set(CPACK_PACKAGE_VENDOR "qa-tutor")
set(CPACK_PACKAGE_CONTACT "qa-tutor developers <dev@qa-tutor.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Study program for the course Precalculus I")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})

if(WIN32)
    set(CPACK_GENERATOR NSIS ZIP)
    set(CPACK_PACKAGE_FILE_NAME qa-tutor-${PROJECT_VERSION}-win64)
    set(CPACK_PACKAGE_INSTALL_DIRECTORY qa-tutor)
    set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY qa-tutor)
    set(CPACK_NSIS_PACKAGE_NAME qa-tutor)
    set(CPACK_NSIS_DISPLAY_NAME "qa-tutor ${PROJECT_VERSION}")
    # The installer's own script, for an install without administrator rights.
    list(PREPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake/windows)
    set(CPACK_QA_PROGRAM qa-tutor.exe)
    set(CPACK_QA_REPORT_WINDOW qa-tutor-report-window.exe)
    set(CPACK_QA_ICON ${qa_icon})
    # The source the programs were built from, to go beside them (Qt's licence
    # lets a user relink a program linked with it).
    set(CPACK_SOURCE_GENERATOR ZIP)
    set(CPACK_SOURCE_PACKAGE_FILE_NAME qa-tutor-${PROJECT_VERSION}-source)
    set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build/" "/build-[^/]*/" "/\\\\.cache/")
elseif(APPLE)
    set(CPACK_GENERATOR DragNDrop)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION education)
    set(CPACK_PACKAGE_DESCRIPTION_FILE ${PROJECT_SOURCE_DIR}/data/debian/description)
    # Debian ships programs without their debugging information.
    set(CPACK_STRIP_FILES ON)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # The window needs a platform plugin, which Debian ships apart from the libraries.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
endif()
include(CPack)
