# core/src/host/sources.cmake: the host the core asks for what only its host knows.
target_sources(orvelle_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/host.cpp)
