# Each source folder is one library whose headers are included as
# "folder/header.h". A library sees only the folders it links, so an include
# that runs the wrong way (a library reaching into the window) does not build.
function(qa_folder_library name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "FOLDER" "")
    if(NOT arg_FOLDER)
        get_filename_component(arg_FOLDER ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    endif()
    set(root ${PROJECT_BINARY_DIR}/include/${arg_FOLDER})
    if(NOT EXISTS ${root}/${arg_FOLDER})
        file(MAKE_DIRECTORY ${root})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${arg_FOLDER} ${root}/${arg_FOLDER} SYMBOLIC)
    endif()
    target_include_directories(${name} PUBLIC ${root})
endfunction()
