# `make package`: a Debian package of the program, the two command-line
# tools, the desktop entry, the icons and the AppStream metadata.
install(FILES ${PROJECT_SOURCE_DIR}/resources/io.github.kelvora.Kelvora.metainfo.xml
        DESTINATION share/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/fonts/ARPHICPL.TXT
              ${PROJECT_SOURCE_DIR}/resources/fonts/OFL-AbcManuscript.txt
        DESTINATION share/doc/kelvora)

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
# Loaded at run time, so dpkg-shlibdeps cannot see them: the X11 platform
# plugin, the sound back end, the Chinese dialog texts and a CJK interface font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libqt6multimedia6, qt6-translations-l10n, fonts-wqy-microhei | fonts-noto-cjk")
include(CPack)
