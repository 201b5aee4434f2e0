# The Windows cross build's libarchive (both toolchains: tools/mingw-w64.cmake
# and the Qt of tools/build-qt-mingw.sh): the static one that
# tools/build-libarchive-mingw.sh makes, found by the same
# find_package(LibArchive) as Debian's on Linux. CMake's FindLibArchive
# knows nothing of a static library's needs, so its target is given them
# here: LIBARCHIVE_STATIC (archive.h declares DLL imports without it) and
# the libraries libarchive.a calls.
set(PAINTWELL_LIBARCHIVE_MINGW "$ENV{PAINTWELL_LIBARCHIVE_MINGW}" CACHE PATH
    "libarchive for mingw-w64 made by tools/build-libarchive-mingw.sh")
if(NOT PAINTWELL_LIBARCHIVE_MINGW)
  set_property(CACHE PAINTWELL_LIBARCHIVE_MINGW PROPERTY VALUE
               "$ENV{HOME}/.cache/paintwell/libarchive-3.6.2-mingw64")
endif()
set(libarchive_prefix ${PAINTWELL_LIBARCHIVE_MINGW})
if(NOT EXISTS ${libarchive_prefix}/paintwell-libarchive-complete)
  message(FATAL_ERROR "no libarchive for mingw-w64 in ${libarchive_prefix}: "
                      "run tools/build-libarchive-mingw.sh (a few minutes)")
endif()

block()
  # Searched before the mingw sysroot, which has no libarchive.
  list(PREPEND CMAKE_FIND_ROOT_PATH ${libarchive_prefix})
  find_package(LibArchive REQUIRED)
endblock()
set_property(TARGET LibArchive::LibArchive APPEND PROPERTY
             INTERFACE_COMPILE_DEFINITIONS LIBARCHIVE_STATIC)
# bcrypt: Windows' CNG, for the AES and PBKDF2 of encrypted zips.
set_property(TARGET LibArchive::LibArchive APPEND PROPERTY INTERFACE_LINK_LIBRARIES
             ${libarchive_prefix}/lib/liblzma.a ${libarchive_prefix}/lib/libbz2.a ZLIB::ZLIB bcrypt)
