# quarvel-scores, the public high-score server (native Linux builds only):
# the q_scores library above base, formats and os, and the program. Its
# libraries are Debian's: cpp-httplib, SQLite, libpq, nlohmann-json, OpenSSL
# (the SHA-256 of a replay).
find_package(PkgConfig REQUIRED)
pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
find_package(SQLite3 REQUIRED)
find_package(PostgreSQL REQUIRED)
find_package(nlohmann_json 3 REQUIRED)
find_package(OpenSSL REQUIRED)
find_package(Threads REQUIRED)

quarvel_library(q_scores scores names.cpp api_json.cpp rate_limiter.cpp child.cpp verifier.cpp work_pool.cpp
  store.cpp store_sqlite.cpp store_postgres.cpp server.cpp)
target_link_libraries(q_scores PUBLIC q_os q_formats PkgConfig::HTTPLIB SQLite::SQLite3 PostgreSQL::PostgreSQL
  nlohmann_json::nlohmann_json OpenSSL::Crypto Threads::Threads)

add_executable(quarvel-scores ${SRC}/scores/main.cpp)
target_compile_definitions(quarvel-scores PRIVATE QUARVEL_VERSION="${PROJECT_VERSION}")
target_link_libraries(quarvel-scores PRIVATE q_scores)
install(TARGETS quarvel-scores RUNTIME DESTINATION bin)

if(QUARVEL_TESTS)
  # The pure parts in GoogleTest: names, the JSON, the rate limiter, the
  # child's limits, the store on SQLite.
  file(GLOB SCORES_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/scores/*.cpp)
  add_executable(test_scores ${SCORES_TEST_SOURCES})
  target_link_libraries(test_scores PRIVATE q_scores q_support_files GTest::gtest_main)
  add_test(NAME scores COMMAND test_scores WORKING_DIRECTORY ${CMAKE_BINARY_DIR})

  # The real server, driven over HTTP with a stand-in verifier; PostgreSQL is
  # Debian's, a cluster the test makes and removes in a scratch folder.
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(SCORES_TESTS ${CMAKE_SOURCE_DIR}/tests/scores)
  add_test(NAME scores_battery COMMAND ${Python3_EXECUTABLE} ${SCORES_TESTS}/battery_test.py $<TARGET_FILE:quarvel-scores>)
  add_test(NAME scores_kill_sqlite
           COMMAND ${Python3_EXECUTABLE} ${SCORES_TESTS}/durability_test.py sqlite $<TARGET_FILE:quarvel-scores>)
  add_test(NAME scores_kill_postgresql
           COMMAND ${Python3_EXECUTABLE} ${SCORES_TESTS}/durability_test.py postgresql $<TARGET_FILE:quarvel-scores>)
  add_test(NAME scores_sigterm COMMAND ${Python3_EXECUTABLE} ${SCORES_TESTS}/sigterm_test.py $<TARGET_FILE:quarvel-scores>)
  add_test(NAME scores_two_instances
           COMMAND ${Python3_EXECUTABLE} ${SCORES_TESTS}/instances_test.py $<TARGET_FILE:quarvel-scores>)
  # The real game as the verifier, on the recorded whole game (skipped while
  # the game has no --verify). Not in a sanitized build: AddressSanitizer
  # reserves terabytes of address space, which the verifier's memory limit
  # (at most 1 TB) refuses, so the sanitized game aborts at its start.
  if(NOT QUARVEL_SANITIZE)
    add_test(NAME scores_whole_game COMMAND ${Python3_EXECUTABLE} ${SCORES_TESTS}/whole_game_test.py
             $<TARGET_FILE:quarvel-scores> $<TARGET_FILE:quarvel> ${CMAKE_SOURCE_DIR}/bench/whole_game.txt)
    set_tests_properties(scores_whole_game PROPERTIES SKIP_RETURN_CODE 77)
  endif()
endif()
install(FILES ${CMAKE_SOURCE_DIR}/dist/quarvel-scores.1 DESTINATION share/man/man1)

# The load tool (bench/scores_load.sh runs it against a seeded server); a
# program of its own, not one of the Google Benchmark ones.
add_executable(scores_load ${CMAKE_SOURCE_DIR}/bench/scores_load.cpp)
target_link_libraries(scores_load PRIVATE PkgConfig::HTTPLIB nlohmann_json::nlohmann_json Threads::Threads)
