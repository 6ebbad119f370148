# core/src/json/sources.cmake: JSON read as the host's json module reads it (a fast path and
# the host-exact one) and written as its json.dumps writes it.
target_sources(orvelle_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/arena.cpp
  ${CMAKE_CURRENT_LIST_DIR}/arena.h
  ${CMAKE_CURRENT_LIST_DIR}/document.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fast_parser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fast_parser.h
  ${CMAKE_CURRENT_LIST_DIR}/host_parser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/host_parser.h
  ${CMAKE_CURRENT_LIST_DIR}/members.cpp
  ${CMAKE_CURRENT_LIST_DIR}/members.h
  ${CMAKE_CURRENT_LIST_DIR}/numbers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/numbers.h
  ${CMAKE_CURRENT_LIST_DIR}/on_demand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/on_demand.h
  ${CMAKE_CURRENT_LIST_DIR}/parse.cpp
  ${CMAKE_CURRENT_LIST_DIR}/syntax_error.cpp
  ${CMAKE_CURRENT_LIST_DIR}/syntax_error.h
  ${CMAKE_CURRENT_LIST_DIR}/write.cpp)

# simdjson's inline code stays private to the core, so no other simdjson build in the process
# (with another class layout) can stand in for it.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/fast_parser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/on_demand.cpp PROPERTIES COMPILE_OPTIONS -fvisibility-inlines-hidden)
