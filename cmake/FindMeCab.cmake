# Finds MeCab (Debian's libmecab-dev, or the static MinGW-w64 build that
# scripts/mecab-windows.sh caches) and defines the imported target MeCab::MeCab.
find_path(MeCab_INCLUDE_DIR mecab.h)
find_library(MeCab_LIBRARY mecab)
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(MeCab REQUIRED_VARS MeCab_LIBRARY MeCab_INCLUDE_DIR)
if(MeCab_FOUND AND NOT TARGET MeCab::MeCab)
  add_library(MeCab::MeCab UNKNOWN IMPORTED)
  set_target_properties(MeCab::MeCab PROPERTIES IMPORTED_LOCATION "${MeCab_LIBRARY}"
                        INTERFACE_INCLUDE_DIRECTORIES "${MeCab_INCLUDE_DIR}")
  if(WIN32)
    # mecab.h includes <windows.h>: without its min and max macros, which break std::max.
    set_property(TARGET MeCab::MeCab PROPERTY INTERFACE_COMPILE_DEFINITIONS
                 NOMINMAX WIN32_LEAN_AND_MEAN)
  endif()
endif()
