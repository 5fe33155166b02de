#pragma once
// orvale-pim's exit codes, documented in its --help.
namespace orvale::pim_tool {

enum ExitCode : int {
    kOk = 0,
    kStoreRefused = 1,    // the device store did not take a write or a delete
    kUsage = 2,           // wrong arguments, unknown folder or command
    kUnreadableFile = 3,  // a file could not be read or written
    kUnparsableItem = 4,  // a file holds no item, an unfinished one, or one of the wrong kind
    kUnknownKey = 5,      // no item has that key
    kNoStore = 6,         // the folder's store does not exist (yet)
    kNoDevice = 7,        // the device folder cannot be created or its database cannot be opened
    kDamagedBackup = 8,   // the backup is cut, altered or of another folder; nothing was changed
};

}  // namespace orvale::pim_tool
