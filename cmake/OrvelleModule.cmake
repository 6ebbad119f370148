# cmake/OrvelleModule.cmake: orvelle_add_module(<name> PACKAGE <folder> SOURCES <files>...)
#
# One extension module of the package: nanobind built shared (NB_SHARED) in the project's own
# type domain, linked to the one core library, installed into its package folder. The shared
# libraries sit in the package root, so modules there find them through $ORIGIN and modules
# one folder down through $ORIGIN/..
function(orvelle_add_module name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "PACKAGE" "SOURCES")
  nanobind_add_module(${name} NB_SHARED NB_DOMAIN orvelle ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE orvelle_core orvelle_binding_support)
  if(ARG_PACKAGE STREQUAL "OrvellePgxParser")
    set_target_properties(${name} PROPERTIES INSTALL_RPATH "$ORIGIN")
  else()
    set_target_properties(${name} PROPERTIES INSTALL_RPATH "$ORIGIN/..")
  endif()
  install(TARGETS ${name} LIBRARY DESTINATION ${ARG_PACKAGE})
endfunction()
