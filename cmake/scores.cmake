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
