# One warning policy for every target of the project.
add_library(orvale_warnings INTERFACE)
target_compile_options(orvale_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Wunused
  -Woverloaded-virtual -Wnull-dereference -Wformat=2 -Wimplicit-fallthrough)
if(ORVALE_WERROR)
  target_compile_options(orvale_warnings INTERFACE -Werror)
  # GCC 12 at -O3 reports overlaps inside libstdc++'s own string copies and null dereferences inside
  # GoogleTest's headers that no code path reaches; they stay warnings so a Release build completes.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(orvale_warnings INTERFACE
      $<$<CONFIG:Release>:-Wno-error=restrict -Wno-error=null-dereference>)
  endif()
endif()

# orvale_library(name) declares the subsystem library of the current folder: every .cpp below it
# except program entry points (main.cpp) and fuzz targets (fuzz/).
function(orvale_library name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$|/fuzz/")
  add_library(${name} STATIC ${sources} ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE orvale_warnings)
endfunction()

# orvale_program(name sources...): a program of the installation; it answers --version with
# ORVALE_VERSION.
function(orvale_program name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE orvale_warnings)
  target_compile_definitions(${name} PRIVATE ORVALE_VERSION="${PROJECT_VERSION}")
endfunction()

# Adds every direct subfolder that has a CMakeLists.txt, except those named in ARGN.
function(orvale_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(child ${children})
    get_filename_component(leaf ${child} NAME)
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt AND NOT leaf IN_LIST ARGN)
      add_subdirectory(${leaf})
    endif()
  endforeach()
endfunction()
