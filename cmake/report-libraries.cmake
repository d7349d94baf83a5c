# The libraries of qa-tutor-report as the targets qa::zip (libzip) and
# qa::xlsxwriter (libxlsxwriter), found the same way on Linux and Windows:
# Debian's libzip package config names tools Debian ships apart (zipcmp...)
# and fails without them, and libxlsxwriter has none.
include_guard(GLOBAL)

set(qa_where)
if(CMAKE_CROSSCOMPILING)
    # The Windows build's own (scripts/windows-libs.sh), in a folder of
    # CMAKE_PREFIX_PATH: not under the toolchain's root, where find_library
    # would look instead, nor among the build machine's libraries.
    set(qa_where NO_CMAKE_FIND_ROOT_PATH NO_CMAKE_ENVIRONMENT_PATH NO_SYSTEM_ENVIRONMENT_PATH
                 NO_CMAKE_SYSTEM_PATH)
endif()

function(qa_report_library target header library)
    # QA_ZIP_LIBRARY and so on, in the cache.
    string(REPLACE "qa::" "QA_" name ${target})
    string(TOUPPER ${name} name)
    find_path(${name}_INCLUDE_DIR ${header} ${qa_where})
    find_library(${name}_LIBRARY ${library} ${qa_where})
    if(NOT ${name}_INCLUDE_DIR OR NOT ${name}_LIBRARY)
        message(FATAL_ERROR "No ${header} and library ${library} for ${target} (found: "
                            "${${name}_INCLUDE_DIR}, ${${name}_LIBRARY}). On Debian "
                            "scripts/setup.sh installs them, for Windows scripts/windows.sh "
                            "builds them (scripts/windows-libs.sh) and names their folder in "
                            "CMAKE_PREFIX_PATH.")
    endif()
    add_library(${target} UNKNOWN IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${${name}_LIBRARY}
                                               INTERFACE_INCLUDE_DIRECTORIES ${${name}_INCLUDE_DIR})
endfunction()

qa_report_library(qa::zip zip.h zip)
qa_report_library(qa::xlsxwriter xlsxwriter.h xlsxwriter)
if(WIN32)
    # Static libraries: what they use is linked after them (libzip's random
    # numbers and AES are Windows' own).
    qa_report_library(qa::zlib zlib.h z)
    set_target_properties(qa::zip PROPERTIES INTERFACE_LINK_LIBRARIES "qa::zlib;bcrypt;advapi32")
    set_target_properties(qa::xlsxwriter PROPERTIES INTERFACE_LINK_LIBRARIES qa::zlib)
    # Their licence texts go with the programs, beside Qt's.
    get_filename_component(qa_libs_prefix ${QA_ZIP_LIBRARY} DIRECTORY)
    get_filename_component(qa_libs_prefix ${qa_libs_prefix} DIRECTORY)
    set(QA_TUTOR_REPORT_LIBS_LICENSES ${qa_libs_prefix}/licenses
        CACHE PATH "Folder of the licence texts of the report's libraries built for Windows")
endif()
