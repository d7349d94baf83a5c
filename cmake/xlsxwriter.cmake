# libxlsxwriter, which writes the report's workbook: the target
# qa::xlsxwriter when it is found. Debian's has a pkg-config file; a build
# for another system finds its own in CMAKE_FIND_ROOT_PATH.
if(TARGET qa::xlsxwriter)
    return()
endif()
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND AND NOT CMAKE_CROSSCOMPILING)
    pkg_check_modules(XLSXWRITER QUIET IMPORTED_TARGET GLOBAL xlsxwriter)
endif()
if(TARGET PkgConfig::XLSXWRITER)
    add_library(qa::xlsxwriter ALIAS PkgConfig::XLSXWRITER)
else()
    find_path(XLSXWRITER_INCLUDE_DIR xlsxwriter.h)
    find_library(XLSXWRITER_LIBRARY xlsxwriter)
    if(XLSXWRITER_INCLUDE_DIR AND XLSXWRITER_LIBRARY)
        add_library(qa::xlsxwriter UNKNOWN IMPORTED GLOBAL)
        set_target_properties(qa::xlsxwriter PROPERTIES IMPORTED_LOCATION ${XLSXWRITER_LIBRARY}
                              INTERFACE_INCLUDE_DIRECTORIES ${XLSXWRITER_INCLUDE_DIR})
    endif()
endif()
