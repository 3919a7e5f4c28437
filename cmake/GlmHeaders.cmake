# glm_export_headers(target [DIRS folder...] [FILES header...])
# Makes the target's own headers, and only those, includable under their
# paths from the source root ("common/Ex/Logger.h", "Tools/SoundThread.h"):
# the target exports <build>/include/<target>, which holds links to the
# listed folders or single headers. A file that includes a header of a
# library it does not link therefore fails to compile.
function(glm_export_headers target)
    cmake_parse_arguments(H "" "" "DIRS;FILES" ${ARGN})
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    foreach(path IN LISTS H_DIRS H_FILES)
        if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${path})
            message(FATAL_ERROR "glm_export_headers(${target}): no ${path} in the source tree")
        endif()
        get_filename_component(parent ${root}/${path} DIRECTORY)
        file(MAKE_DIRECTORY ${parent})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${path} ${root}/${path} SYMBOLIC)
    endforeach()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()
