# cmake/OrvelleModule.cmake: orvelle_add_module(<name> PACKAGE <folder> SOURCES <files>...) and
# orvelle_add_stubs(PACKAGE <folder> PATTERN_FILE <file>)
#
# One extension module of the package: nanobind built shared (NB_SHARED) in the project's own
# type domain, linked to the one core library, installed into its package folder. The shared
# libraries sit in the package root, so modules there find them through $ORIGIN and modules
# one folder down through $ORIGIN/..
#
# Each module is built into ORVELLE_STAGE, a copy of the package in the build folder, where
# the stub generator can import it: the build installs the modules before the build backend
# adds the Python files, and an editable install never adds them at all.
function(orvelle_add_module name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "PACKAGE" "SOURCES")
  nanobind_add_module(${name} NB_SHARED NB_DOMAIN orvelle ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE orvelle_core orvelle_binding_support)
  if(ARG_PACKAGE STREQUAL "OrvellePgxParser")
    set_target_properties(${name} PROPERTIES INSTALL_RPATH "$ORIGIN")
  else()
    set_target_properties(${name} PROPERTIES INSTALL_RPATH "$ORIGIN/..")
  endif()
  set_target_properties(${name} PROPERTIES LIBRARY_OUTPUT_DIRECTORY
                                           ${ORVELLE_STAGE}/${ARG_PACKAGE})
  install(TARGETS ${name} LIBRARY DESTINATION ${ARG_PACKAGE})
  set_property(GLOBAL APPEND PROPERTY ORVELLE_MODULES "${ARG_PACKAGE}/${name}")
endfunction()

# The typed stub (.pyi) of every module added so far, generated in the stage beside it and
# installed beside it. Importing one module may import others, and a signature names another
# module's classes only once that module is loaded, so every stub waits for every module and
# for the Python files of the package, which PACKAGE names in the source tree.
function(orvelle_add_stubs)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "" "PACKAGE;PATTERN_FILE" "")
  get_filename_component(source_root ${ARG_PACKAGE} DIRECTORY)
  file(GLOB_RECURSE package_files CONFIGURE_DEPENDS RELATIVE ${source_root}
       ${ARG_PACKAGE}/*.py ${ARG_PACKAGE}/*.json)
  set(sources "")
  set(staged "")
  foreach(file IN LISTS package_files)
    add_custom_command(
      OUTPUT ${ORVELLE_STAGE}/${file}
      COMMAND ${CMAKE_COMMAND} -E copy ${source_root}/${file} ${ORVELLE_STAGE}/${file}
      DEPENDS ${source_root}/${file})
    list(APPEND sources ${source_root}/${file})
    list(APPEND staged ${ORVELLE_STAGE}/${file})
  endforeach()
  add_custom_target(orvelle_stage DEPENDS ${staged})

  get_property(modules GLOBAL PROPERTY ORVELLE_MODULES)
  set(targets "")
  foreach(module IN LISTS modules)
    get_filename_component(target ${module} NAME)
    list(APPEND targets ${target})
  endforeach()
  # The copies are made before any stub; a changed source file redoes the stubs.
  foreach(module IN LISTS modules)
    get_filename_component(target ${module} NAME)
    get_filename_component(folder ${module} DIRECTORY)
    string(REPLACE "/" "." dotted ${module})
    nanobind_add_stub(${target}_stub
      MODULE ${dotted}
      OUTPUT ${ORVELLE_STAGE}/${module}.pyi
      PYTHON_PATH ${ORVELLE_STAGE}
      PATTERN_FILE ${ARG_PATTERN_FILE}
      DEPENDS ${targets} ${sources})
    add_dependencies(${target}_stub orvelle_stage)
    install(FILES ${ORVELLE_STAGE}/${module}.pyi DESTINATION ${folder})
  endforeach()
endfunction()
