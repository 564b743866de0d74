# Installs the game the way Debian lays out its games: the launcher in games/, the program in
# lib/games/hexaglint/, its data in share/games/hexaglint/, plus the desktop entry, icons,
# AppStream metainfo, manual page and documents. Packages use the prefix /usr (cmake/Package.cmake);
# plain installs keep CMake's default, /usr/local.

include(GNUInstallDirs)

set(HEXAGLINT_INSTALL_GAMESDIR games CACHE STRING "Where the hexaglint command goes")
set(HEXAGLINT_INSTALL_PKGLIBDIR lib/games/hexaglint CACHE STRING "Where the game program goes")
set(HEXAGLINT_INSTALL_PKGDATADIR ${CMAKE_INSTALL_DATADIR}/games/hexaglint
    CACHE STRING "Where the game's images, fonts and audio go")

# Directories that the install creates on its way get the usual modes whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(generated ${PROJECT_BINARY_DIR}/packaging)

install(TARGETS hexaglint RUNTIME DESTINATION ${HEXAGLINT_INSTALL_PKGLIBDIR})

# Only the three folders the game reads: data/README.md is a document, not game data.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/images ${PROJECT_SOURCE_DIR}/data/fonts
                  ${PROJECT_SOURCE_DIR}/data/audio
        DESTINATION ${HEXAGLINT_INSTALL_PKGDATADIR})

# The launcher finds the prefix from its own place, so that it keeps working when the prefix is
# chosen at install time (cmake --install --prefix) or the tree is unpacked elsewhere; absolute
# directories are taken as they are.
if(IS_ABSOLUTE "${HEXAGLINT_INSTALL_GAMESDIR}")
    set(HEXAGLINT_LAUNCH_UP .)
else()
    file(RELATIVE_PATH HEXAGLINT_LAUNCH_UP /prefix/${HEXAGLINT_INSTALL_GAMESDIR} /prefix)
    string(REGEX REPLACE "/$" "" HEXAGLINT_LAUNCH_UP "${HEXAGLINT_LAUNCH_UP}")
endif()
function(hexaglint_launch_path out dir)
    if(IS_ABSOLUTE "${dir}")
        set(${out} "${dir}" PARENT_SCOPE)
    elseif(IS_ABSOLUTE "${HEXAGLINT_INSTALL_GAMESDIR}")
        set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
    else()
        set(${out} "$prefix/${dir}" PARENT_SCOPE)
    endif()
endfunction()
hexaglint_launch_path(HEXAGLINT_LAUNCH_DATA ${HEXAGLINT_INSTALL_PKGDATADIR})
hexaglint_launch_path(HEXAGLINT_LAUNCH_BINARY ${HEXAGLINT_INSTALL_PKGLIBDIR}/hexaglint)
configure_file(${packaging}/hexaglint.in ${generated}/hexaglint @ONLY)
install(PROGRAMS ${generated}/hexaglint DESTINATION ${HEXAGLINT_INSTALL_GAMESDIR})

# The desktop entry names the game, its icon and the window class by which the desktop matches the
# running window to the entry, all from the build's one name and id (CMakeLists.txt).
configure_file(${packaging}/hexaglint.desktop.in ${generated}/${HEXAGLINT_APP_ID}.desktop @ONLY)
install(FILES ${generated}/${HEXAGLINT_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/${HEXAGLINT_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The desktop entry's icon is the game's own: every size the art tool painted into data/images
# (src/desktop/WindowIcon.h names them), each into the icon theme's folder for its size.
file(GLOB icons CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/images/icon-*.png)
foreach(icon ${icons})
    string(REGEX REPLACE "^.*/icon-([0-9]+)\\.png$" "\\1" size ${icon})
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${HEXAGLINT_APP_ID}.png)
endforeach()

# The manual page and the change log go in compressed, as Debian keeps them; -n leaves the name
# and time out of the gzip header, so the same sources give the same files.
foreach(document hexaglint.6 changelog)
    add_custom_command(OUTPUT ${generated}/${document}.gz
                       COMMAND sh -c "gzip -9n < \"$1\" > \"$2\"" sh ${packaging}/${document}
                               ${generated}/${document}.gz
                       DEPENDS ${packaging}/${document} VERBATIM)
    list(APPEND compressed ${generated}/${document}.gz)
endforeach()
add_custom_target(hexaglint_documents ALL DEPENDS ${compressed})
install(FILES ${generated}/hexaglint.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${packaging}/copyright ${generated}/changelog.gz ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR}
        RENAME README.data.md)
