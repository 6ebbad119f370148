# core/src/log/sources.cmake: the core's log records, handed to the installed host.
target_sources(orvelle_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/log.cpp)
