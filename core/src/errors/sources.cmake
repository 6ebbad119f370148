# core/src/errors/sources.cmake: the core's typed failures, each a host exception kind.
target_sources(orvelle_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/errors.cpp)
