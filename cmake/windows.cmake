# The Windows build: each program one .exe with nothing beside it (Qt, the C++
# runtime and winpthread linked in), with its icon, version information and
# manifest.
add_link_options(-static $<$<CONFIG:Release>:-s>)
# Static Qt asks every program it links to drop unused sections, which takes a
# third of a test program's link; only the programs shipped are the smaller
# for it (see qa_windows_resources).
get_target_property(qa_qt_link_options Qt6::Core INTERFACE_LINK_OPTIONS)
if(qa_qt_link_options)
    list(REMOVE_ITEM qa_qt_link_options -Wl,--gc-sections)
    set_target_properties(Qt6::Core PROPERTIES INTERFACE_LINK_OPTIONS "${qa_qt_link_options}")
endif()
enable_language(RC)
# The programs sit at the top of their folder, as Windows programs do.
set(CMAKE_INSTALL_BINDIR .)

find_program(QA_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(QA_IMAGEMAGICK convert REQUIRED)

# The icon's sizes that Explorer, the taskbar and the Start menu pick from.
set(qa_icon_svg ${PROJECT_SOURCE_DIR}/data/org.qatutor.QaTutor.svg)
set(qa_icon ${PROJECT_BINARY_DIR}/windows/qa-tutor.ico)
set(qa_icon_steps)
set(qa_icon_pngs)
foreach(size 256 48 32 24 16)
    set(png ${PROJECT_BINARY_DIR}/windows/icon-${size}.png)
    list(APPEND qa_icon_steps COMMAND ${QA_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${qa_icon_svg})
    list(APPEND qa_icon_pngs ${png})
endforeach()
add_custom_command(OUTPUT ${qa_icon} ${qa_icon_steps}
                   COMMAND ${QA_IMAGEMAGICK} ${qa_icon_pngs} ${qa_icon}
                   DEPENDS ${qa_icon_svg} VERBATIM)
add_custom_target(qa_windows_icon DEPENDS ${qa_icon})

function(qa_windows_resources target description)
    set(qa_target ${target})
    set(qa_description ${description})
    set(qa_manifest ${PROJECT_BINARY_DIR}/windows/${target}.manifest)
    configure_file(${PROJECT_SOURCE_DIR}/data/windows/program.manifest.in ${qa_manifest} @ONLY)
    set(rc ${PROJECT_BINARY_DIR}/windows/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/data/windows/program.rc.in ${rc} @ONLY)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${qa_icon};${qa_manifest}")
    target_sources(${target} PRIVATE ${rc})
    target_link_options(${target} PRIVATE -Wl,--gc-sections)
    add_dependencies(${target} qa_windows_icon)
endfunction()
