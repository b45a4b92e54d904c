# A Debian package of exactly what cmake --install installs: run cpack in the build tree.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvona)
set(CPACK_PACKAGE_VENDOR "Tarvona developers")
set(CPACK_PACKAGE_CONTACT "Tarvona developers <developers@tarvona.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://tarvona.example/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drill matching ancient literary works to their authors")
set(CPACK_PACKAGE_DESCRIPTION "Tarvona (Тарвона) is a small desktop drill for school pupils, in Bulgarian:\n\
pick one of five ancient authors, then one of nine works, and the log says\n\
whether the author wrote it. The work then leaves the list; a restart brings\n\
every work back.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# dpkg-shlibdeps finds the libraries the program links (Qt 6 Widgets and what it needs).
# Qt's platform plugins are only recommended by Qt's libraries, yet without them the window
# cannot open at all, so the package asks for them itself.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The form's font falls back to Liberation Serif, drawn to Times New Roman's measures, and Qt's
# own texts are Bulgarian only with Qt's translations; the program starts without either.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
