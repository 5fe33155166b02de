# Programs bind every symbol at start, so the dynamic linker can make the whole relocation table
# read-only (full RELRO, as Debian builds its packages).
add_link_options(LINKER:-z,now)
# A canary in every function that keeps an array or takes a local's address.
add_compile_options(-fstack-protector-strong)
# glibc's checked string and memory calls where the optimiser shows it the buffer sizes, which an
# unoptimised build does not. The sanitizers check the same calls themselves and replace them.
if(NOT ORVALE_SANITIZE AND NOT ORVALE_FUZZ)
  add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
endif()
# The standard library's bounds and precondition checks: in every test program, and in the whole
# tree of a debug build (the sanitizer run is one), so the suite runs the libraries checked too.
add_compile_definitions($<$<CONFIG:Debug>:_GLIBCXX_ASSERTIONS>)
