# Writes the finished web site (cmake -P, run by web.cmake after each link):
#   cmake -DLINKED=DIR -DSOURCE=DIR -DSITE=DIR -DVERSION=X.Y.Z -P web/site.cmake
# The game's files and the page script get their content's hash in their
# names (quarvel.HASH.js, .wasm, .data, quarvel_page.HASH.js), so any cache
# may keep them for ever; index.html and service-worker.js keep their names
# and list the current ones. Files of earlier builds are removed.
foreach(var LINKED SOURCE SITE VERSION)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "site.cmake needs -D${var}=...")
  endif()
endforeach()

file(MAKE_DIRECTORY ${SITE}/icons)
file(GLOB stale ${SITE}/quarvel.js ${SITE}/quarvel.wasm ${SITE}/quarvel.data ${SITE}/quarvel_page.js
  ${SITE}/quarvel.*.js ${SITE}/quarvel.*.wasm ${SITE}/quarvel.*.data ${SITE}/quarvel_page.*.js
  ${SITE}/scores_client.*.js ${SITE}/scores_page.*.js)

# Copies FILE into the site as PREFIX.HASH.EXT; sets NAME, SIZE and SHA256.
function(versioned file prefix extension)
  file(SHA256 ${file} sha256)
  file(SIZE ${file} size)
  string(SUBSTRING ${sha256} 0 12 short)
  set(name ${prefix}.${short}.${extension})
  file(COPY_FILE ${file} ${SITE}/${name} ONLY_IF_DIFFERENT)
  set(NAME ${name} PARENT_SCOPE)
  set(SIZE ${size} PARENT_SCOPE)
  set(SHA256 ${sha256} PARENT_SCOPE)
endfunction()

set(QUARVEL_VERSION ${VERSION})
set(offline "index.html" "quarvel.webmanifest")
set(entries "")
foreach(kind game wasm data)
  set(extension ${kind})
  if(kind STREQUAL "game")
    set(extension js)
  endif()
  versioned(${LINKED}/quarvel.${extension} quarvel ${extension})
  list(APPEND entries "\"${kind}\": {\"name\": \"${NAME}\", \"size\": ${SIZE}, \"sha256\": \"${SHA256}\"}")
  list(APPEND offline ${NAME})
  list(REMOVE_ITEM stale ${SITE}/${NAME})
endforeach()
list(JOIN entries ", " joined)
set(QUARVEL_SITE_FILES "{${joined}}")

versioned(${SOURCE}/web/quarvel_page.js quarvel_page js)
set(QUARVEL_PAGE_SCRIPT ${NAME})
list(APPEND offline ${NAME})
list(REMOVE_ITEM stale ${SITE}/${NAME})
# The high-score table's page and its client, which the game page uses too
# (they need the score server, see docs/scores.md; kept offline all the same
# so the game page never misses its script).
versioned(${SOURCE}/web/scores_client.js scores_client js)
set(QUARVEL_SCORES_CLIENT ${NAME})
list(APPEND offline ${NAME})
list(REMOVE_ITEM stale ${SITE}/${NAME})
versioned(${SOURCE}/web/scores_page.js scores_page js)
set(QUARVEL_SCORES_SCRIPT ${NAME})
list(APPEND offline ${NAME})
list(REMOVE_ITEM stale ${SITE}/${NAME})
if(stale)
  file(REMOVE ${stale})
endif()

configure_file(${SOURCE}/web/index.html ${SITE}/index.html @ONLY)
configure_file(${SOURCE}/web/scores.html ${SITE}/scores.html @ONLY)
list(APPEND offline scores.html)
configure_file(${SOURCE}/web/quarvel.webmanifest ${SITE}/quarvel.webmanifest COPYONLY)
# The favicons are the desktop icons; the larger ones are drawn for the web
# (make_icons --web), both committed and checked against the sprite sheet.
foreach(icon ${SOURCE}/dist/icons/quarvel-16.png ${SOURCE}/dist/icons/quarvel-32.png
    ${SOURCE}/web/icons/quarvel-192.png ${SOURCE}/web/icons/quarvel-512.png
    ${SOURCE}/web/icons/quarvel-maskable-192.png ${SOURCE}/web/icons/quarvel-maskable-512.png)
  get_filename_component(icon_name ${icon} NAME)
  file(COPY_FILE ${icon} ${SITE}/icons/${icon_name} ONLY_IF_DIFFERENT)
  list(APPEND offline icons/${icon_name})
endforeach()

# The worker's build name changes with any file it keeps.
set(fingerprint ${VERSION})
foreach(file ${offline})
  file(SHA256 ${SITE}/${file} sha256)
  string(APPEND fingerprint " ${sha256}")
endforeach()
string(SHA256 build "${fingerprint}")
string(SUBSTRING ${build} 0 16 QUARVEL_BUILD)
list(TRANSFORM offline PREPEND "'")
list(TRANSFORM offline APPEND "'")
list(JOIN offline ", " QUARVEL_OFFLINE_FILES)
set(QUARVEL_BUILD "${VERSION}-${QUARVEL_BUILD}")
configure_file(${SOURCE}/web/service-worker.js ${SITE}/service-worker.js @ONLY)
