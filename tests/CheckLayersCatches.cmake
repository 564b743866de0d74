# The layer check must fail the changes it is there to stop: each break below, made alone in a
# copy of src/, has to be rejected, and the copy left whole has to pass (so a check that rejects
# everything does not pass here either). CHECK: CheckLayers.cmake; ROOT: the project; WORK: a
# folder of the build's own.
cmake_minimum_required(VERSION 3.25)
set(copy ${WORK}/layer-breaks)

# Runs the check on a fresh copy of src/ with one file written into it, the rules library linking
# these libraries; the check's status. "none" for no file, no libraries.
function(check_with file text links result)
    file(REMOVE_RECURSE ${copy})
    file(COPY ${ROOT}/src DESTINATION ${copy})
    if(NOT file STREQUAL "none")
        file(WRITE ${copy}/src/${file} "${text}")
    endif()
    if(links STREQUAL "none")
        set(links "")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${copy} -DLINKS=${links} -P ${CHECK}
                    RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
    set(${result} ${status} PARENT_SCOPE)
endfunction()

check_with(none "" none status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the layer check rejects the tree as it is")
endif()

set(breaks
    "Xlib in the game's view|app/View.h|#include <X11/Xlib.h>\n|none"
    "GLX in the graphics|gfx/GemArt.cpp|#include <GL/glx.h>\n|none"
    "Xlib behind a desktop header the game includes|desktop/WindowHints.h|#include <X11/Xlib.h>\n|none"
    "a folder no layer names|net/Socket.h|#pragma once\n|none"
    "the rules drawing|board/Gem.cpp|#include \"gfx/Sprite.h\"\n|none"
    "the rules linking X|none|none|X11::X11")
set(missed "")
foreach(break ${breaks})
    string(REPLACE "|" ";" parts "${break}")
    list(GET parts 0 name)
    list(GET parts 1 file)
    list(GET parts 2 text)
    list(GET parts 3 links)
    check_with("${file}" "${text}" "${links}" status)
    if(status EQUAL 0)
        list(APPEND missed "${name}")
    endif()
endforeach()
file(REMOVE_RECURSE ${copy})
if(missed)
    message(FATAL_ERROR "the layer check let through: ${missed}")
endif()
