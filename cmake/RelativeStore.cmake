# cmake -DFROM=store -DTO=store -DLIBRARY_DIR=folder -P RelativeStore.cmake
# Copies a registration store, turning each library path in LIBRARY_DIR into
# one relative to the new store's folder (LIBRARY_DIR/skein10).
file(REAL_PATH "${LIBRARY_DIR}" library_dir)
file(STRINGS "${FROM}" lines)
set(text "")
foreach(line IN LISTS lines)
  string(REPLACE "=${library_dir}/" "=../" line "${line}")
  string(APPEND text "${line}\n")
endforeach()
string(FIND "${text}" "=/" absolute)
if(NOT absolute EQUAL -1)
  message(FATAL_ERROR "${FROM} names a library outside ${library_dir}:\n${text}")
endif()
file(WRITE "${TO}" "${text}")
