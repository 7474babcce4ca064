# The browser build, included by CMakeLists.txt under Emscripten: quarvel.js,
# quarvel.wasm and quarvel.data (the sprite sheet, the samples and the
# recorded demo game) beside our own index.html, page script, service
# worker, manifest and icons, all in one folder that any static web server
# can host from any path. web/site.cmake writes it, the versioned names
# included.
set(QUARVEL_WEB_SITE ${CMAKE_BINARY_DIR}/site CACHE PATH "Folder of the finished web site")

set_target_properties(quarvel PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/linked)
# The page's timer drives the game's frames (quarvel_tick), so nothing
# sleeps and the runtime lives on after main() has started the run; the
# run tells the page its exit code itself.
target_link_options(quarvel PRIVATE
  -sALLOW_MEMORY_GROWTH=1 -sFORCE_FILESYSTEM=1
  -sEXPORTED_FUNCTIONS=_main,_quarvel_tick,_quarvel_replay_link -sEXPORTED_RUNTIME_METHODS=FS,ccall -sENVIRONMENT=web
  "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/data/graphics@/graphics"
  "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/data/WAV@/WAV"
  "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/bench/whole_game.txt@/demo/whole_game.txt")
# The packaged files are read at link time.
set_property(TARGET quarvel APPEND PROPERTY LINK_DEPENDS
  ${CMAKE_SOURCE_DIR}/data/graphics/graphics.bmp ${CMAKE_SOURCE_DIR}/bench/whole_game.txt)

set(QUARVEL_SITE_SOURCES index.html quarvel_page.js scores.html scores_page.js scores_client.js service-worker.js quarvel.webmanifest site.cmake
  icons/quarvel-192.png icons/quarvel-512.png icons/quarvel-maskable-192.png icons/quarvel-maskable-512.png)
list(TRANSFORM QUARVEL_SITE_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/web/)
add_custom_command(OUTPUT ${QUARVEL_WEB_SITE}/index.html ${QUARVEL_WEB_SITE}/service-worker.js
  COMMAND ${CMAKE_COMMAND} -DLINKED=${CMAKE_BINARY_DIR}/linked -DSOURCE=${CMAKE_SOURCE_DIR}
    -DSITE=${QUARVEL_WEB_SITE} -DVERSION=${PROJECT_VERSION} -P ${CMAKE_SOURCE_DIR}/web/site.cmake
  DEPENDS quarvel ${QUARVEL_SITE_SOURCES} ${CMAKE_SOURCE_DIR}/dist/icons/quarvel-16.png
    ${CMAKE_SOURCE_DIR}/dist/icons/quarvel-32.png
  COMMENT "Writing the web site into ${QUARVEL_WEB_SITE}")
add_custom_target(web_site ALL DEPENDS ${QUARVEL_WEB_SITE}/index.html ${QUARVEL_WEB_SITE}/service-worker.js)
