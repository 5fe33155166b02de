# One warning policy for every target of the project.
add_library(orvale_warnings INTERFACE)
target_compile_options(orvale_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Wunused
  -Woverloaded-virtual -Wnull-dereference -Wformat=2 -Wimplicit-fallthrough)
if(ORVALE_WERROR)
  target_compile_options(orvale_warnings INTERFACE -Werror)
endif()

# orvale_library(name SOURCES...) declares a subsystem library with the project's policy.
function(orvale_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE orvale_warnings)
endfunction()

function(orvale_program name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE orvale_warnings)
endfunction()
