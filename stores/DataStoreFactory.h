#pragma once
// One per sync run: opens the device session when built (creating the device root when it is
// missing), closes it when destroyed. The run's change trackers are saved by saveChanges(); the
// ones it was not called for are dropped with the factory, their databases left as they were.
#include <string>
#include <vector>

namespace orvale {

class DataStoreKind;

// Whether the change databases are rewritten when the factory goes. A sync run records the device's
// state for the next run; a tool that edits items outside a run must not, or the next run would not
// see its edits as changes.
enum class ChangeRecording { Record, Discard };
// A reader (a listing, an export) creates nothing and changes nothing of the device: no device
// folder, no database file, no schema; every write it tries fails.
enum class DeviceAccess { ReadWrite, ReadOnly };

class DataStoreFactory {
public:
    explicit DataStoreFactory(ChangeRecording recording = ChangeRecording::Record,
                              DeviceAccess access = DeviceAccess::ReadWrite);
    virtual ~DataStoreFactory();
    DataStoreFactory(const DataStoreFactory&) = delete;
    DataStoreFactory& operator=(const DataStoreFactory&) = delete;

    virtual DataStoreKind* createKindByName(const std::string& text);
    virtual DataStoreKind* createKindById(int code);
    virtual std::vector<DataStoreKind*> allKinds();
    virtual std::vector<DataStoreKind*> allKinds2() { return allKinds(); }
    virtual const std::string& name() const { return name_; }
    virtual void slot6() {}

    // Beyond the slots: rewrites the change database of every tracker of the run (none when the
    // factory discards them) and drops the trackers. False when a database could not be written:
    // it keeps its earlier records, so the next run sends this run's changes again.
    bool saveChanges();
    // Why the device session did not open (the device folder cannot be created,
    // the database cannot be opened); empty when it did.
    const std::string& openError() const { return openError_; }
    // The device database's own words for its last failed call; empty without a session.
    std::string deviceError() const;
    // Why the folder of the kind cannot be reached now (its Evolution Data Server source gone or
    // the service unreachable); empty when it can, or when the session did not open at all.
    std::string folderProblem(int kindCode) const;

private:
    std::string name_;
    ChangeRecording recording_;
    std::string openError_;
};

}  // namespace orvale
