# What `cmake --install` puts where, and the Debian package made from the same tree by
# `cpack -G DEB`. Included from the top-level CMakeLists.txt once the programs are defined.
include(GNUInstallDirs)

install(TARGETS pixelwright pixelwright-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES sphere.raw DESTINATION ${CMAKE_INSTALL_DATADIR}/pixelwright)

# Man pages, compressed as Debian installs them. The viewer's is written by hand (it has no
# options to describe); the tool's is made from its own --help, so the two never disagree.
set(man_folder "${CMAKE_CURRENT_BINARY_DIR}/man")
configure_file(docs/man/pixelwright.1 "${man_folder}/pixelwright.1" @ONLY)
set(man_pages "${man_folder}/pixelwright.1.gz")
add_custom_command(OUTPUT "${man_folder}/pixelwright.1.gz"
  COMMAND gzip -9 -n -f -k "${man_folder}/pixelwright.1"
  DEPENDS "${man_folder}/pixelwright.1"
  COMMENT "Compressing pixelwright.1"
  VERBATIM)
find_program(HELP2MAN help2man)
if(HELP2MAN)
  add_custom_command(OUTPUT "${man_folder}/pixelwright-render.1.gz"
    COMMAND "${HELP2MAN}" --no-info --section=1 --source=Pixelwright
            "--name=draw Pixelwright's scenes to PNG files, without a display"
            "--include=${CMAKE_CURRENT_SOURCE_DIR}/docs/man/pixelwright-render.h2m"
            --output=${man_folder}/pixelwright-render.1 $<TARGET_FILE:pixelwright-render>
    COMMAND gzip -9 -n -f "${man_folder}/pixelwright-render.1"
    DEPENDS pixelwright-render docs/man/pixelwright-render.h2m
    COMMENT "Making pixelwright-render.1 from its --help"
    VERBATIM)
  list(APPEND man_pages "${man_folder}/pixelwright-render.1.gz")
else()
  message(WARNING "help2man was not found: pixelwright-render's man page is not built "
                  "(Debian package help2man)")
endif()
add_custom_target(man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pixelwright)
set(CPACK_PACKAGE_VENDOR "Pixelwright developers")
set(CPACK_PACKAGE_CONTACT "Pixelwright developers <developers@pixelwright.invalid>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "software renderer and fixed-function OpenGL, side by side on five 3D scenes")
set(CPACK_PACKAGE_DESCRIPTION
    "A viewer for learning and teaching rendering: five built-in scenes, each drawn by a
software renderer of its own (transform, scan conversion with a depth buffer, per-pixel
bump-mapped lighting, mip-mapped textures) and by fixed-function OpenGL, one key apart.
pixelwright-render draws any scene with either renderer, or both and their difference,
to a PNG file without a display.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# dpkg-shlibdeps (Debian's dpkg-dev) reads the libraries the programs link and names their packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
