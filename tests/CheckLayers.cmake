# Fails when a folder of src/ includes from a layer it may not use (ARCHITECTURE.md): the rules
# (board) use nothing else, files (opening data files) stands alone, gfx builds on the rules and
# files, ui on those, audio on files alone, desktop (the window's dealings with the desktop and the
# process's with the system) on files and gfx, and app ties everything together. The rules and
# files may not include a GL, GLUT, GLX, SDL, FreeType, libpng or X header either; only desktop
# may include an X or GLX header, and of its headers only those named X*.h, which no other layer
# may include (so Xlib never reaches the game's controller or view); every folder of src/ is one
# of these layers; and the rules library may link none of those libraries (LINKS: what it links,
# separated by |).
cmake_minimum_required(VERSION 3.25)
set(uses_board "board")
set(uses_files "files")
set(uses_gfx "board|files|gfx")
set(uses_ui "board|files|gfx|ui")
set(uses_audio "audio|files")
set(uses_desktop "desktop|files|gfx")
set(uses_app "app|audio|board|desktop|files|gfx|ui")
set(graphics "GL/|GLES|glut|SDL|ft2build|freetype|FT_|png\\.h|pngconf|X11/")
set(xlib "X11/|GL/glx")

set(layers board files gfx ui audio desktop app)
set(failed FALSE)
file(GLOB entries LIST_DIRECTORIES true RELATIVE ${ROOT}/src ${ROOT}/src/*)
foreach(entry ${entries})
    if(NOT entry IN_LIST layers)
        message(SEND_ERROR "src/${entry}: not a layer; give it a row in ARCHITECTURE.md and here")
        set(failed TRUE)
    endif()
endforeach()

foreach(layer ${layers})
    file(GLOB_RECURSE files ${ROOT}/src/${layer}/*)
    foreach(file ${files})
        file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include")
        foreach(line ${includes})
            if(line MATCHES "#[ \t]*include[ \t]*\"([a-z]+)/"
               AND NOT CMAKE_MATCH_1 MATCHES "^(${uses_${layer}})$")
                message(SEND_ERROR "${file}: ${layer} may not use '${line}'")
                set(failed TRUE)
            elseif(layer MATCHES "^(board|files)$" AND line MATCHES "${graphics}")
                message(SEND_ERROR "${file}: ${layer} may not use '${line}'")
                set(failed TRUE)
            elseif((NOT layer STREQUAL "desktop" OR file MATCHES "/[^X][^/]*\\.h$")
                   AND line MATCHES "${xlib}")
                message(SEND_ERROR "${file}: only desktop's files and X*.h may use '${line}'")
                set(failed TRUE)
            elseif(NOT layer STREQUAL "desktop" AND line MATCHES "\"desktop/X")
                message(SEND_ERROR "${file}: only desktop may use '${line}'")
                set(failed TRUE)
            endif()
        endforeach()
    endforeach()
endforeach()

string(REPLACE "|" ";" LINKS "${LINKS}")
foreach(library ${LINKS})
    if(library MATCHES "GL|glut|SDL|Freetype|freetype|PNG|png|X11")
        message(SEND_ERROR "the rules library may not link ${library}")
        set(failed TRUE)
    endif()
endforeach()
if(failed)
    message(FATAL_ERROR "a layer of src/ uses one above it (see ARCHITECTURE.md)")
endif()
