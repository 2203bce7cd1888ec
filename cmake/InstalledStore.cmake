# The read-only registration store installed with the libraries, so that
# their classes can be created without `skein10 register`. It is made at
# build time by the components' own DllRegisterServer (through
# `skein10 register --library`) into a scratch store, whose library paths
# then become relative to the store's folder: lib/skein10/registry serves the
# component libraries beside it, in the build tree as in any installed
# prefix. The runtime finds it in the folder skein10 beside itself
# (installedRegistryPath()).
set(skein10_store ${SKEIN10_COMPONENT_OUTPUT_DIRECTORY}/registry)
set(skein10_scratch_store ${CMAKE_BINARY_DIR}/installed-store/registry)
add_custom_command(OUTPUT ${skein10_store}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${skein10_scratch_store}
  COMMAND ${CMAKE_COMMAND} -E env SKEIN10_REGISTRY=${skein10_scratch_store} SKEIN10_INSTALLED_REGISTRY=
          ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:skein10_host> register --library $<TARGET_FILE:skein10> --library $<TARGET_FILE:kvmarrow10>
  COMMAND ${CMAKE_COMMAND} -DFROM=${skein10_scratch_store} -DTO=${skein10_store}
          -DLIBRARY_DIR=${SKEIN10_COMPONENT_OUTPUT_DIRECTORY} -P ${PROJECT_SOURCE_DIR}/cmake/RelativeStore.cmake
  DEPENDS skein10 kvmarrow10 skein10_host ${PROJECT_SOURCE_DIR}/cmake/RelativeStore.cmake
  COMMENT "Writing the installed registration store"
  VERBATIM)
add_custom_target(skein10_installed_store ALL DEPENDS ${skein10_store})

include(GNUInstallDirs)
install(FILES ${skein10_store} DESTINATION ${CMAKE_INSTALL_LIBDIR}/${SKEIN10_COMPONENT_SUBDIR} COMPONENT runtime)
