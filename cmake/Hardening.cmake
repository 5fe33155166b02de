# Programs bind every symbol at start, so the dynamic linker can make the whole relocation table
# read-only (full RELRO, as Debian builds its packages).
add_link_options(LINKER:-z,now)
