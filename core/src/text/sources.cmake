# core/src/text/sources.cmake: the text area, with Unicode tables generated at build time from
# the character database of the interpreter the package is built for. scikit-build-core passes
# that interpreter as Python_EXECUTABLE, which FindPython honours; standalone builds may too.
find_package(Python 3.10 REQUIRED COMPONENTS Interpreter)

set(orvelle_text_generated ${CMAKE_CURRENT_BINARY_DIR}/generated/text)
set(orvelle_unicode_generator ${CMAKE_CURRENT_LIST_DIR}/../../tools/gen_unicode_tables.py)
add_custom_command(
  OUTPUT ${orvelle_text_generated}/unicode_tables.inc
  COMMAND ${CMAKE_COMMAND} -E make_directory ${orvelle_text_generated}
  COMMAND ${Python_EXECUTABLE} ${orvelle_unicode_generator}
          ${orvelle_text_generated}/unicode_tables.inc
  DEPENDS ${orvelle_unicode_generator}
  COMMENT "Generating the Unicode tables with ${Python_EXECUTABLE}"
  VERBATIM)

target_sources(orvelle_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/host_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unicode_db.cpp
  ${CMAKE_CURRENT_LIST_DIR}/utf8.cpp
  ${orvelle_text_generated}/unicode_tables.inc)
target_include_directories(orvelle_core PRIVATE ${orvelle_text_generated})
