# The fuzz targets and the libraries each links; read by fuzz/ (libFuzzer
# build) and tests/fuzz/ (the replay of the kept inputs in the normal build).
set(CORVANE_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})
set(CORVANE_FUZZ_TARGETS record_line database_load owner_record prefs)
set(CORVANE_FUZZ_LIBS_record_line corvane_store)
set(CORVANE_FUZZ_LIBS_database_load corvane_store)
set(CORVANE_FUZZ_LIBS_owner_record corvane_security)
set(CORVANE_FUZZ_LIBS_prefs corvane_prefs)

# corvane_fuzz_support(TARGET): the shared helpers of every target.
function(corvane_fuzz_support target)
    target_sources(${target} PRIVATE ${CORVANE_FUZZ_DIR}/FuzzSupport.cpp ${CORVANE_FUZZ_DIR}/FuzzSupport.h)
    target_include_directories(${target} PRIVATE ${CORVANE_FUZZ_DIR})
    target_link_libraries(${target} PRIVATE corvane_testsupport)
endfunction()
