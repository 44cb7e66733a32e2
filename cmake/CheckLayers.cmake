# cmake -DSOURCE_DIR=<dir> "-DLAYERS=<layer;...>" ["-DSIBLINGS=<layer;...>"] -P CheckLayers.cmake
#
# The test `layers`: fails when a file in src/<layer> includes a header of a layer that comes after it in
# LAYERS (the order of the top CMakeLists.txt, lowest first). Every library exports the whole src/ folder,
# so the compiler accepts such an include; this check is what keeps the arrows pointing down. Includes
# are read as `#include "x/..."` or `<x/...>` (x a layer), relative ones resolved against the file's
# folder; anything else (the standard library, Qt, Windows headers) is no layer and passes.
# SIBLINGS names layers that stand side by side over the same ones: none of them may include another. Every
# folder of src/ must be a layer.
cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR OR NOT LAYERS)
    message(FATAL_ERROR "CheckLayers.cmake needs SOURCE_DIR and LAYERS")
endif()
set(src "${SOURCE_DIR}/src")

set(violations "")
set(checked 0)
# A folder of src/ that is no layer would escape the check: every one must be listed.
file(GLOB folders LIST_DIRECTORIES true RELATIVE "${src}" "${src}/*")
foreach(folder IN LISTS folders)
    if(IS_DIRECTORY "${src}/${folder}")
        list(FIND LAYERS "${folder}" folder_rank)
        if(folder_rank LESS 0)
            string(APPEND violations "\n  src/${folder}: a folder that is no layer (add it to TARNWELL_LAYERS)")
        endif()
    endif()
endforeach()
foreach(layer IN LISTS LAYERS)
    list(FIND LAYERS ${layer} layer_rank)
    file(GLOB_RECURSE files "${src}/${layer}/*.h" "${src}/${layer}/*.cpp")
    foreach(file IN LISTS files)
        math(EXPR checked "${checked} + 1")
        get_filename_component(folder "${file}" DIRECTORY)
        file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
        foreach(line IN LISTS includes)
            if(NOT line MATCHES "include[ \t]*[<\"]([^>\"]+)[>\"]")
                continue()
            endif()
            set(target "${CMAKE_MATCH_1}")
            if(target MATCHES "^\\.")
                # A relative include: which folder of src/ does it land in?
                get_filename_component(resolved "${folder}/${target}" ABSOLUTE)
                file(RELATIVE_PATH target "${src}" "${resolved}")
            endif()
            if(NOT target MATCHES "^([^/]+)/")
                continue()
            endif()
            set(included "${CMAKE_MATCH_1}")
            list(FIND LAYERS "${included}" included_rank)
            list(FIND SIBLINGS "${layer}" layer_sibling)
            list(FIND SIBLINGS "${included}" included_sibling)
            if(NOT included STREQUAL layer AND layer_sibling GREATER -1 AND included_sibling GREATER -1)
                file(RELATIVE_PATH shown "${SOURCE_DIR}" "${file}")
                string(STRIP "${line}" line)
                string(APPEND violations "\n  ${shown}: ${line} (${layer} and ${included} are siblings)")
            elseif(included_rank GREATER layer_rank)
                file(RELATIVE_PATH shown "${SOURCE_DIR}" "${file}")
                string(STRIP "${line}" line)
                string(APPEND violations "\n  ${shown}: ${line} (${layer} may not use ${CMAKE_MATCH_1})")
            endif()
        endforeach()
    endforeach()
endforeach()

if(checked EQUAL 0)
    message(FATAL_ERROR "no source files found under ${src}")
endif()
if(violations)
    message(FATAL_ERROR "includes that point up or across the layers (order: ${LAYERS}; siblings: ${SIBLINGS}):${violations}")
endif()
message(STATUS "${checked} files, every include points down the layers")
