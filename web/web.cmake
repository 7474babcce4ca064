# The browser build, included by CMakeLists.txt under Emscripten: quarvel.js,
# quarvel.wasm and quarvel.data (the sprite sheet, the samples and the
# recorded demo game) beside our own index.html, page script, service
# worker, manifest and icons, all in one folder that any static web server
# can host from any path. web/site.cmake writes it, the versioned names
# included.
set(QUARVEL_WEB_SITE ${CMAKE_BINARY_DIR}/site CACHE PATH "Folder of the finished web site")

# Asyncify lets the frame loops sleep, at a price in every function it
# instruments: each call that may sleep is followed by a check, and every
# local a sleep must keep is saved and restored. Its own analysis cannot see
# which functions those are, as the machine reaches the back end's wait
# through a virtual call and so would have every function that makes an
# indirect call instrumented (the drawing's blends among them). Only the
# functions that can be on the stack when the game sleeps are instrumented:
# main and the game's loops that are left after inlining, down to the
# machine's sleeps and the page's waits. A function on the way to a sleep
# that is missing here breaks the game at that sleep: the browser test plays
# every scene frame for frame against the native program. A name that no
# longer matches (inlined now) makes the link warn.
set(QUARVEL_ON_THE_WAY_TO_A_SLEEP
  main runGame* runTitleScreen* StageOne* StageTwo* StageThree* stage_two::runStageTwo* stage_three::stageThreeFrame*
  StoryScene* story::storyScene* story::storyLeave* endFrame* endOfStagePlay* exitPromptResult* *waitForAnswer*
  sleepMs* sleepOrKey* *advanceClock* backend::Web::*)
# Names hold commas and blanks, so they go to the linker in a file, one a line.
list(JOIN QUARVEL_ON_THE_WAY_TO_A_SLEEP "\n" QUARVEL_SLEEP_PATH_TEXT)
set(QUARVEL_SLEEP_PATH_FILE ${CMAKE_BINARY_DIR}/asyncify_only.txt)
file(CONFIGURE OUTPUT ${QUARVEL_SLEEP_PATH_FILE} CONTENT "${QUARVEL_SLEEP_PATH_TEXT}\n")

set_target_properties(quarvel PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/linked)
# The WebAssembly optimizer inlines a function called from one place however
# big it is: main grew to 60 KB, which the browser's optimizing compiler
# took half a second to compile, and each stage's frame work ended up in the
# stage's function, entered once a stage, which the browser runs in its
# first, slow translation until the next call. Only functions of up to 200
# instructions are inlined that way, so the frame work stays in functions
# called at every frame.
set(QUARVEL_ONE_CALLER_INLINE_MAX 200)
target_link_options(quarvel PRIVATE
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sASYNCIFY_ONLY=@${QUARVEL_SLEEP_PATH_FILE}
  -sBINARYEN_EXTRA_PASSES=--one-caller-inline-max-function-size=${QUARVEL_ONE_CALLER_INLINE_MAX}
  -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1 -sFORCE_FILESYSTEM=1
  -sEXPORTED_RUNTIME_METHODS=FS -sENVIRONMENT=web
  "SHELL:--js-library ${CMAKE_SOURCE_DIR}/web/quarvel_library.js"
  "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/data/graphics@/graphics"
  "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/data/WAV@/WAV"
  "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/bench/whole_game.txt@/demo/whole_game.txt")
# The packaged files are read at link time.
set_property(TARGET quarvel APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/web/quarvel_library.js ${QUARVEL_SLEEP_PATH_FILE}
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
