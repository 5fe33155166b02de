#pragma once
// The contact the benchmarks fill a device store with: a dozen properties a real address book
// holds, a quoted-printable note with a non-Latin letter, number `i` in every value.
#include <string>

namespace orvale::bench {

inline std::string sampleContact(int i) {
    const std::string n = std::to_string(i);
    return "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Family" + n + ";Given" + n + "\r\nFN:Given" + n + " Family" + n +
           "\r\nORG:Company " + n + ";Unit\r\nTEL;WORK:+1 555 " + n + "\r\nTEL;CELL:+1 556 " + n +
           "\r\nEMAIL;INTERNET:person" + n + "@example.com\r\nADR;HOME:;;" + n +
           " Main Street;Springfield;IL;62701;USA\r\nNOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Met in " +
           "G=C3=B6teborg.=0D=0ASecond line.\r\nBDAY:1970-01-01\r\nEND:VCARD\r\n";
}

}  // namespace orvale::bench
