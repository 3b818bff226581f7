# `make package`: a Debian package of the program, the command-line tools,
# the data library, the desktop entry, the icons, the manual pages and the
# AppStream metadata.
install(FILES ${PROJECT_SOURCE_DIR}/resources/io.github.kelvora.Kelvora.metainfo.xml
        DESTINATION share/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/fonts/ARPHICPL.TXT
              ${PROJECT_SOURCE_DIR}/resources/fonts/OFL-AbcManuscript.txt
        DESTINATION share/doc/kelvora)

# Debian's copyright file, with the licence texts in it as its format asks:
# every line indented by one space, empty lines as " .".
function(kelvora_dep5_text file from var)
    file(READ ${file} text)
    string(FIND "${text}" "${from}" start)
    string(SUBSTRING "${text}" ${start} -1 text)
    string(STRIP "${text}" text)
    string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" text "${text}")
    string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" text "${text}")
    string(REPLACE "\n" "\n " text " ${text}")
    set(${var} "${text}" PARENT_SCOPE)
endfunction()
kelvora_dep5_text(${PROJECT_SOURCE_DIR}/resources/fonts/ARPHICPL.TXT "ARPHIC PUBLIC LICENSE" ARPHIC_TEXT)
kelvora_dep5_text(${PROJECT_SOURCE_DIR}/resources/fonts/OFL-AbcManuscript.txt "SIL OPEN FONT LICENSE" OFL_TEXT)
configure_file(${PROJECT_SOURCE_DIR}/resources/debian/copyright.in
               ${CMAKE_BINARY_DIR}/debian/copyright @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/debian/copyright DESTINATION share/doc/kelvora)

# The changelog, compressed as Debian keeps it (a native package: the
# Kelvora developers make the package themselves).
set(KELVORA_CHANGELOG ${CMAKE_BINARY_DIR}/debian/changelog.gz)
add_custom_command(OUTPUT ${KELVORA_CHANGELOG}
    COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/resources/debian/changelog > ${KELVORA_CHANGELOG}
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/debian/changelog)
add_custom_target(debian_changelog ALL DEPENDS ${KELVORA_CHANGELOG})
install(FILES ${KELVORA_CHANGELOG} DESTINATION share/doc/kelvora)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvora)
set(CPACK_PACKAGE_VENDOR "Kelvora")
set(CPACK_PACKAGE_CONTACT "Kelvora developers <developers@kelvora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "learn how the 6763 GB 2312 Chinese characters are written")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Stroke-order practice sheets, the writing animation, stroke-by-stroke display,
full-screen projection, print-quality stroke-order pictures, A4 copybooks for
Chinese characters, letters and digits, and a pinyin sound board.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The data library is the package's own: its directory is private.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/lib)
set(CPACK_STRIP_FILES ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the X11 platform
# plugin, the sound back end, the Chinese dialog texts and a CJK interface font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libqt6multimedia6, qt6-translations-l10n, fonts-wqy-microhei | fonts-noto-cjk")
include(CPack)
