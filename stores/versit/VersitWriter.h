#pragma once
// Writes components as text: BEGIN/END lines, one line per property, folded at 75 characters.
#include <string>

#include "stores/versit/VersitComponent.h"

namespace orvale::versit_writer {

// Appends the component, its properties and its children (not its siblings).
void appendComponent(std::string& out, const VersitComponent& component);
// Appends one property line (without its repeats), folded, ended by CR LF.
void appendPropertyLine(std::string& out, const VersitProperty& property);
// Appends the line with fold sequences inserted; a quoted-printable line is folded with soft breaks
// that never split an "=XX" triple, any other line with CR LF and a space.
void appendFolded(std::string& out, std::string_view line, bool quotedPrintable);

}  // namespace orvale::versit_writer
