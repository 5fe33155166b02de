# The Debian package, made by CPack from the install rules: `cpack -G DEB` in a build folder (see
# scripts/package.sh). The dependencies come from the shared libraries the programs link
# (dpkg-shlibdeps), not from a list kept by hand.
# The package needs the installed programs only; scripts/package.sh builds those, so CPack need not
# build the tests and benchmarks of the whole tree first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvale)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the Orvale developers")
set(CPACK_PACKAGE_CONTACT "Orvale developers <orvale@orvale.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "SyncML client for contacts, calendar and tasks")
# The long description; CPack puts the summary above it as the first line and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Orvale keeps the contacts, calendar appointments and tasks of its device store
in step with a SyncML (OMA DS 1.1) server over HTTP or HTTPS, with WBXML
messages. It has small screens for set-up, settings and syncing, runs
background syncs on a schedule through the at queue, and keeps a backup of a
folder before every slow sync.

The tools orvale-pim (list, import, export, edit, back up and restore the
device store), orvale-dump (captured messages as readable XML) and
orvale-config (settings without screens) come with it.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Background sync arms its timed starts through the at queue; everything else works without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS at)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR}/package)
include(CPack)
