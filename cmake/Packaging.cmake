# Installation like any desktop game, and the Debian package built from it by CPack:
#   <prefix>/games/klakoria                     launcher (per-user folder, then the game)
#   <prefix>/lib/games/klakoria/klakoria        the game, out of PATH
#   <prefix>/share/games/klakoria/              read-only assets
#   <prefix>/share/applications, icons, man, doc
# The launcher finds the rest from its own place, so `cmake --install` to /usr/local works too.

include(GNUInstallDirs)

set(KLAKORIA_DEB_RELEASE 1)
set(KLAKORIA_DEB_VERSION "${PROJECT_VERSION}-${KLAKORIA_DEB_RELEASE}")
set(KLAKORIA_PKG_DIR "${CMAKE_BINARY_DIR}/packaging")
set(KLAKORIA_GAME_DIR "lib/games/klakoria")  # fixed: the launcher looks exactly there
set(KLAKORIA_SHARE_DIR "${CMAKE_INSTALL_DATAROOTDIR}/games/klakoria")

# --- generated files: desktop icons, manual pages and changelog, compressed as Debian wants
set(KLAKORIA_ICON_SIZES 32 48 128)
set(icon_args)
set(icon_files)
foreach(size IN LISTS KLAKORIA_ICON_SIZES)
    list(APPEND icon_args "${KLAKORIA_PKG_DIR}/klakoria-${size}.png" ${size})
    list(APPEND icon_files "${KLAKORIA_PKG_DIR}/klakoria-${size}.png")
endforeach()
add_custom_command(OUTPUT ${icon_files}
    COMMAND make_icon "${KLAKORIA_PKG_DIR}/icon.bmp" ${icon_args}
    DEPENDS make_icon COMMENT "Drawing the desktop icons" VERBATIM)

# gzip -9n: best compression and no name or time stamp inside, so the package is reproducible.
function(klakoria_gzip source output)
    add_custom_command(OUTPUT "${output}"
        COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" sh "${source}" "${output}"
        DEPENDS "${source}" COMMENT "Compressing ${output}" VERBATIM)
endfunction()

configure_file(packaging/klakoria.6 "${KLAKORIA_PKG_DIR}/de/klakoria.6" @ONLY)
configure_file(packaging/klakoria.en.6 "${KLAKORIA_PKG_DIR}/en/klakoria.6" @ONLY)
configure_file(packaging/changelog "${KLAKORIA_PKG_DIR}/changelog.Debian" @ONLY)
klakoria_gzip("${KLAKORIA_PKG_DIR}/de/klakoria.6" "${KLAKORIA_PKG_DIR}/de/klakoria.6.gz")
klakoria_gzip("${KLAKORIA_PKG_DIR}/en/klakoria.6" "${KLAKORIA_PKG_DIR}/en/klakoria.6.gz")
klakoria_gzip("${KLAKORIA_PKG_DIR}/changelog.Debian" "${KLAKORIA_PKG_DIR}/changelog.Debian.gz")

add_custom_target(klakoria_package_files ALL DEPENDS ${icon_files}
    "${KLAKORIA_PKG_DIR}/de/klakoria.6.gz" "${KLAKORIA_PKG_DIR}/en/klakoria.6.gz"
    "${KLAKORIA_PKG_DIR}/changelog.Debian.gz")

# --- install rules ------------------------------------------------------------------------
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(read_only OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

install(TARGETS klakoria RUNTIME DESTINATION "${KLAKORIA_GAME_DIR}")
install(PROGRAMS packaging/klakoria.sh DESTINATION games RENAME klakoria)
install(FILES "${KLAKORIA_ASSET_DIR}/tileset.bmp" "${KLAKORIA_ASSET_DIR}/icon.bmp" "${KLAKORIA_ASSET_DIR}/Musik.wav"
    DESTINATION "${KLAKORIA_SHARE_DIR}" PERMISSIONS ${read_only})
# The font stays in its fonts package when we know which one holds it: a link instead of a
# second copy, relative so that it also holds inside a staged (DESTDIR) tree. Otherwise the
# copy in Data/ is installed.
set(KLAKORIA_FONT_PACKAGE "")
if(DEFINED KLAKORIA_FONT_FILE AND EXISTS "${KLAKORIA_FONT_FILE}")
    execute_process(COMMAND dpkg-query -S "${KLAKORIA_FONT_FILE}"
        OUTPUT_VARIABLE font_owner ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    string(REGEX MATCH "^[a-z0-9][a-z0-9.+-]*" KLAKORIA_FONT_PACKAGE "${font_owner}")
endif()
if(KLAKORIA_FONT_PACKAGE)
    install(CODE "
        set(dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${KLAKORIA_SHARE_DIR}\")
        file(RELATIVE_PATH target \"\${CMAKE_INSTALL_PREFIX}/${KLAKORIA_SHARE_DIR}\" \"${KLAKORIA_FONT_FILE}\")
        message(STATUS \"Installing: \${dir}/boulder.ttf -> \${target}\")
        file(MAKE_DIRECTORY \"\${dir}\")
        file(CREATE_LINK \"\${target}\" \"\${dir}/boulder.ttf\" SYMBOLIC)")
else()
    message(STATUS "No Debian package owns the font: the package carries a copy of it")
    install(FILES "${KLAKORIA_ASSET_DIR}/boulder.ttf" DESTINATION "${KLAKORIA_SHARE_DIR}"
        PERMISSIONS ${read_only})
endif()
install(FILES packaging/klakoria.desktop DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/applications"
    PERMISSIONS ${read_only})
foreach(size IN LISTS KLAKORIA_ICON_SIZES)
    install(FILES "${KLAKORIA_PKG_DIR}/klakoria-${size}.png"
        DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps"
        RENAME klakoria.png PERMISSIONS ${read_only})
endforeach()
install(FILES "${KLAKORIA_PKG_DIR}/de/klakoria.6.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man6"
    PERMISSIONS ${read_only})
install(FILES "${KLAKORIA_PKG_DIR}/en/klakoria.6.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/en/man6"
    PERMISSIONS ${read_only})
install(FILES packaging/copyright "${KLAKORIA_PKG_DIR}/changelog.Debian.gz"
    DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/doc/klakoria" PERMISSIONS ${read_only})
install(FILES packaging/lintian-overrides DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides"
    RENAME klakoria PERMISSIONS ${read_only})

# --- the Debian package ------------------------------------------------------------------
# `--target package`, the install target and cpack itself first build everything (all) that is out
# of date, the generated files above included; on a built tree that is a quick no-op.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME klakoria)
set(CPACK_PACKAGE_VENDOR "Klakoria-Team")
set(CPACK_PACKAGE_CONTACT "Klakoria-Team <klakoria@example.org>")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tile puzzle game: click away groups of the same colour")
set(CPACK_PACKAGE_DESCRIPTION "\
Klakoria is a tile puzzle for one player with German texts. Clicking a group of
at least two joined tiles of one colour removes it; the remaining tiles fall
toward a point of gravity and points are scored.
.
Four variants: Standart Click (six levels), Chaos Click (the point of gravity
moves after every click), Speed Click (points drain while you think) and
FallDown Click (a feeder fills the top row). Five tile sets, background music,
and a highscore list per variant and per user.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${KLAKORIA_DEB_RELEASE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps derives the exact library packages and versions from the binary; the font
# package is needed when boulder.ttf links into it.
find_program(KLAKORIA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KLAKORIA_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "${KLAKORIA_FONT_PACKAGE}")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libc6, libgcc-s1, libstdc++6, libsdl1.2debian, libsdl-ttf2.0-0, libx11-6")
    if(KLAKORIA_FONT_PACKAGE)
        string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ${KLAKORIA_FONT_PACKAGE}")
    endif()
endif()
include(CPack)
