# The web build (emcmake cmake ...): the engine as JavaScript + WebAssembly on the browser's SDL,
# two programs as on the desktop: tessarc (the web back end) and tessarc-replay (the replay
# back end, for the page's ?replay= mode and the browser test). The page, the fonts and the
# game's files are put beside them by tools/make-web.sh.

# nlohmann/json is header-only; only its own folder is shown to the compiler, never the host's
# C library headers.
find_path(TESSARC_JSON_DIR nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(json_include ${CMAKE_BINARY_DIR}/json-include)
file(MAKE_DIRECTORY ${json_include})
file(CREATE_LINK ${TESSARC_JSON_DIR}/nlohmann ${json_include}/nlohmann SYMBOLIC)

set(web_compile -include ${CMAKE_SOURCE_DIR}/web/sdl12compat.h)
# Asyncify lets the game's blocking waits hand the page back to the browser.
set(web_link -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH=1
    -sSTB_IMAGE=1 -sFORCE_FILESYSTEM=1 -sEXIT_RUNTIME=1 -sINITIAL_MEMORY=64MB -lidbfs.js
    "-sEXPORTED_RUNTIME_METHODS=['FS','IDBFS','addRunDependency','removeRunDependency']"
    # The browser's SDL_image decodes pictures with stb_image, in the program itself.
    "-sEXPORTED_FUNCTIONS=['_main','_malloc','_free','_stbi_load','_stbi_load_from_memory','_stbi_image_free']")

file(GLOB GAME_SOURCES CONFIGURE_DEPENDS
  src/core/*.cpp src/interpreter/*.cpp src/presentation/*.cpp src/screens/*.cpp src/savegame/*.cpp)
list(FILTER GAME_SOURCES EXCLUDE REGEX "src/core/platform_[a-z]+\\.cpp$")
# The browser finds fonts by family, sizes the page itself, has no 24-bit screen, runs the game
# on one thread, has SDL_mixer built into the program and fetches the game's files while it
# plays: those six files, and what the browser's SDL and C library do differently, have web
# twins (*_web.cpp).
list(FILTER GAME_SOURCES EXCLUDE REGEX
  "src/(core/fonts|core/display|core/background|core/soundlibrary|core/arrival|presentation/fastblit)\\.cpp$")
file(GLOB WEB_SOURCES CONFIGURE_DEPENDS src/*/*_web.cpp)
list(FILTER WEB_SOURCES EXCLUDE REGEX "src/(core/platform|app/main)_web\\.cpp$")
add_library(tessarc_game OBJECT ${GAME_SOURCES} ${WEB_SOURCES})
target_include_directories(tessarc_game PUBLIC src ${json_include})
target_compile_options(tessarc_game PUBLIC ${web_compile})

file(GLOB APP_SOURCES CONFIGURE_DEPENDS src/app/*.cpp)
list(FILTER APP_SOURCES EXCLUDE REGEX "src/app/main_[a-z]+\\.cpp$")
add_library(tessarc_app OBJECT ${APP_SOURCES})
target_link_libraries(tessarc_app PUBLIC tessarc_game)

add_executable(tessarc src/app/main_web.cpp src/core/platform_web.cpp)
add_executable(tessarc-replay src/app/main_replay.cpp src/core/platform_replay.cpp)
foreach(program tessarc tessarc-replay)
  target_link_libraries(${program} PRIVATE tessarc_app tessarc_game)
  target_link_options(${program} PRIVATE ${web_link})
endforeach()
