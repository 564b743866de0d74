# Fails when a folder of src/ includes from a layer it may not use (ARCHITECTURE.md): the rules
# (board) use nothing else, gfx builds on the rules, ui on both, audio stands alone and app ties
# everything together. The rules may not include a GL, GLUT, GLX, SDL, FreeType, libpng or X
# header either, and the rules library may link none of those libraries (LINKS: what it links,
# separated by |).
set(uses_board "board")
set(uses_gfx "board|gfx")
set(uses_ui "board|gfx|ui")
set(uses_audio "audio")
set(uses_app "app|audio|board|gfx|ui")
set(graphics "GL/|GLES|glut|SDL|ft2build|freetype|FT_|png\\.h|pngconf|X11/")

set(failed FALSE)
foreach(layer board gfx ui audio app)
    file(GLOB_RECURSE files ${ROOT}/src/${layer}/*)
    foreach(file ${files})
        file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include")
        foreach(line ${includes})
            if(line MATCHES "#[ \t]*include[ \t]*\"([a-z]+)/"
               AND NOT CMAKE_MATCH_1 MATCHES "^(${uses_${layer}})$")
                message(SEND_ERROR "${file}: ${layer} may not use '${line}'")
                set(failed TRUE)
            elseif(layer STREQUAL "board" AND line MATCHES "${graphics}")
                message(SEND_ERROR "${file}: the rules may not use '${line}'")
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
