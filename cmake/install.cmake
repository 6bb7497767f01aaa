# Installing the game the way Debian lays out its games, under
# CMAKE_INSTALL_PREFIX (/usr for the package, /usr/local by default, ~/.local
# for one user):
#
#   games/tavro-fighter                   the launcher (bin/ outside /usr and
#                                         /usr/local, where games/ is not on
#                                         the PATH)
#   lib/games/tavro-fighter/fighter       the game itself
#   share/games/tavro-fighter/data/       its data
#   share/applications, share/metainfo, share/icons/hicolor, share/man/man6,
#   share/doc/tavro-fighter               menu entry, AppStream, icons, man
#                                         page, copyright and changelog
#
# The game reads data/ from the folder it runs in and takes no options, so
# the launcher goes to share/games/tavro-fighter and starts it there.  The
# launcher finds both from where it lies: the installed tree can move (a
# DESTDIR staging folder runs as it is).  scripts/package.sh makes the Debian
# package from these rules with CPack.

set(TAVRO_RELEASE_DATE 2026-12-09)
set(TAVRO_MAINTAINER "Tavro Fighter maintainers <maintainers@users.noreply.c-seed-47883f72.example>")
set(TAVRO_HOMEPAGE "https://tavro-fighter.example.org/" CACHE STRING
    "Where the game's web folder is published; the AppStream screenshot is screenshot.png there")
# AppStream wants a reverse-DNS id; the id and the home page are the
# project's to choose once it is published.
set(TAVRO_APP_ID org.example.tavro_fighter)

if(DEFINED TAVRO_INSTALL_GAMESDIR)
  set(gamesDir ${TAVRO_INSTALL_GAMESDIR})
elseif(CMAKE_INSTALL_PREFIX MATCHES "^/usr(/local)?/?$")
  set(gamesDir games)
else()
  set(gamesDir bin)
endif()
set(programDir lib/games/tavro-fighter)
set(dataParent share/games/tavro-fighter)
set(pkgOut ${PROJECT_BINARY_DIR}/packaging)
set(pkgIn ${PROJECT_SOURCE_DIR}/packaging)
file(RELATIVE_PATH TAVRO_DATA_FROM_LAUNCHER /prefix/${gamesDir} /prefix/${dataParent})

# One launcher per program: tavro-fighter starts the game, and
# tavro-fighter-versus the versus program once it is part of the build.
function(tavro_launcher program launcher)
  set(TAVRO_PROGRAM ${program})
  set(TAVRO_LAUNCHER ${launcher})
  file(RELATIVE_PATH TAVRO_PROGRAM_FROM_LAUNCHER /prefix/${gamesDir} /prefix/${programDir}/${program})
  configure_file(${pkgIn}/tavro-fighter.in ${pkgOut}/${launcher} @ONLY)
  install(PROGRAMS ${pkgOut}/${launcher} DESTINATION ${gamesDir})
  install(TARGETS ${program} RUNTIME DESTINATION ${programDir})
endfunction()
tavro_launcher(fighter tavro-fighter)
# The versus program links ENet: the package then depends on libenet7 too
# (dpkg-shlibdeps finds it).  It has a menu entry and a man page of its own.
if(TARGET versus)
  tavro_launcher(versus tavro-fighter-versus)
  install(FILES ${pkgIn}/tavro-fighter-versus.desktop DESTINATION share/applications)
  configure_file(${pkgIn}/tavro-fighter-versus.6.in ${pkgOut}/tavro-fighter-versus.6 @ONLY)
  add_custom_command(OUTPUT ${pkgOut}/tavro-fighter-versus.6.gz
    COMMAND gzip -9nkf ${pkgOut}/tavro-fighter-versus.6
    DEPENDS ${pkgOut}/tavro-fighter-versus.6)
  add_custom_target(versus_man ALL DEPENDS ${pkgOut}/tavro-fighter-versus.6.gz)
  install(FILES ${pkgOut}/tavro-fighter-versus.6.gz DESTINATION share/man/man6)
  set(TAVRO_VERSUS_BINARY "\n    <binary>tavro-fighter-versus</binary>")
endif()

install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${dataParent}/data
        PATTERN "*.md" EXCLUDE)
install(FILES ${pkgIn}/tavro-fighter.desktop DESTINATION share/applications)
configure_file(${pkgIn}/tavro-fighter.metainfo.xml.in
               ${pkgOut}/${TAVRO_APP_ID}.metainfo.xml @ONLY)
install(FILES ${pkgOut}/${TAVRO_APP_ID}.metainfo.xml DESTINATION share/metainfo)

# The icons, drawn by datagen from the character's frames.
set(iconSizes 16 24 32 48 64 128 256)
set(icons "")
foreach(size IN LISTS iconSizes)
  list(APPEND icons ${PROJECT_BINARY_DIR}/icons/${size}x${size}/apps/tavro-fighter.png)
endforeach()
add_custom_command(OUTPUT ${icons}
  COMMAND datagen --icons ${PROJECT_SOURCE_DIR}/data ${PROJECT_BINARY_DIR}/icons
  DEPENDS datagen ${PROJECT_SOURCE_DIR}/data/Tavro/fireball/f01.bmp
  COMMENT "Drawing the desktop icons")

# The man page, with the move list the README shows (workbench --moves), and
# the changelog, both compressed as Debian wants them (gzip -9n: no name, no
# time stamp, the same bytes every time).
add_custom_command(OUTPUT ${pkgOut}/tavro-fighter.6.gz
  COMMAND ${CMAKE_COMMAND} -DWORKBENCH=$<TARGET_FILE:workbench> -DDATA=${PROJECT_SOURCE_DIR}/data
          -DTEMPLATE=${pkgIn}/tavro-fighter.6.in -DOUT=${pkgOut}/tavro-fighter.6
          -DPROJECT_VERSION=${PROJECT_VERSION} -DTAVRO_RELEASE_DATE=${TAVRO_RELEASE_DATE}
          -DTAVRO_DATA_PATH=${CMAKE_INSTALL_PREFIX}/${dataParent}/data
          -P ${PROJECT_SOURCE_DIR}/cmake/manPage.cmake
  COMMAND gzip -9nf ${pkgOut}/tavro-fighter.6
  DEPENDS workbench ${PROJECT_SOURCE_DIR}/data/Tavro/moveset ${pkgIn}/tavro-fighter.6.in ${PROJECT_SOURCE_DIR}/cmake/manPage.cmake
          ${PROJECT_SOURCE_DIR}/cmake/workbenchLines.cmake
  COMMENT "Writing the man page")
execute_process(COMMAND date -R -u -d "${TAVRO_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE TAVRO_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${pkgIn}/changelog.in ${pkgOut}/changelog @ONLY)
add_custom_command(OUTPUT ${pkgOut}/changelog.gz
  COMMAND gzip -9nkf ${pkgOut}/changelog
  DEPENDS ${pkgOut}/changelog)
if(FIGHTER_TESTS)
  add_test(NAME datagen_icons
    COMMAND ${CMAKE_COMMAND} -DDATAGEN=$<TARGET_FILE:datagen> -DDATA=${PROJECT_SOURCE_DIR}/data
            -DWORK=${PROJECT_BINARY_DIR}/icons_check -P ${PROJECT_SOURCE_DIR}/cmake/iconsCheck.cmake)
endif()
add_custom_target(install_extras ALL DEPENDS ${icons} ${pkgOut}/tavro-fighter.6.gz ${pkgOut}/changelog.gz)

install(DIRECTORY ${PROJECT_BINARY_DIR}/icons/ DESTINATION share/icons/hicolor)
install(FILES ${pkgOut}/tavro-fighter.6.gz DESTINATION share/man/man6)
install(FILES ${pkgIn}/copyright ${pkgOut}/changelog.gz DESTINATION share/doc/tavro-fighter)

# The Debian package (scripts/package.sh).  Its dependencies come from the
# libraries the programs load (dpkg-shlibdeps): libsdl1.2debian, which Debian
# 12 gives either as classic SDL 1.2 or as sdl12-compat through
# libsdl1.2-compat-shim, libsdl-mixer1.2, the C and C++ libraries, and
# libenet7 for the versus program's online play.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavro-fighter)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TAVRO_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TAVRO_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# CPack indents every line after the first itself, and writes an empty line
# as Debian's " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "small one-on-one fighting game against the computer
Player 1 fights a computer opponent that walks in, blocks, jumps, ducks
and attacks with standing, crouching and air attacks, chaining links and
cancels.  Punches, kicks and heavy attacks, crouching and air versions of
each, a fireball and a shockwave; J shows every collision and damage box.

Everything the character can do (frames, boxes, moves, commands, sounds,
projectiles and the opponent's attack table) is plain text and bitmap and
sound data.")
include(CPack)
