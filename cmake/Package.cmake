# What an installed program carries besides the programs and the desktop entry (the man
# pages), and the Debian package made of it all:
#
#   cmake -S . -B build/package -DCMAKE_BUILD_TYPE=Release \
#         -DTHALVANE_SYSTEM_DIR=/var/lib/thalvane -DTHALVANE_BUILD_TESTS=OFF
#   cmake --build build/package && (cd build/package && cpack -G DEB)
#
# gives build/package/thalvane_<version>_amd64.deb. The maintainer scripts in
# packaging/debian make the group "thalvane" and the database in THALVANE_SYSTEM_DIR.

# Man pages, with the folder of the database filled in, compressed as Debian installs them.
set(thalvane_man_pages)
foreach(page thalvane.1 thalvane-admin.1)
    configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page}.in ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
        COMMAND gzip -9nkf ${page}
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/man
        DEPENDS ${CMAKE_BINARY_DIR}/man/${page}
        COMMENT "Compressing the man page ${page}")
    list(APPEND thalvane_man_pages ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()
add_custom_target(thalvane_man ALL DEPENDS ${thalvane_man_pages})
install(FILES ${thalvane_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The maintainer scripts, with the folder of the database filled in.
foreach(script postinst postrm)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/${script}.in
                   ${CMAKE_BINARY_DIR}/packaging/debian/${script} @ONLY)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME thalvane)
set(CPACK_PACKAGE_VENDOR "Thalvane maintainers")
set(CPACK_PACKAGE_CONTACT "Thalvane maintainers <maintainers@users.noreply.c-seed-c6fead34.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "directory of shipowners with a Simplified Chinese interface")
# CPack puts the summary first and indents the rest as a control file wants it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Thalvane searches a local, password-protected directory of shipowners by part of
the name and of the country, shows a shipowner's full record, and adds, changes and
deletes shipowners. thalvane-admin creates, imports, exports, backs up and checks
the database.

The database is ${THALVANE_SYSTEM_DIR}/shipman.bcd; members of the group thalvane
may use it.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps. Besides them: addgroup for
# postinst, and a font with Chinese glyphs, which nothing links. A Kai face and Qt's own
# Chinese texts make the windows look as they should.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser, fonts-arphic-uming | fonts-wqy-zenhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-arphic-ukai, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_BINARY_DIR}/packaging/debian/postinst ${CMAKE_BINARY_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
