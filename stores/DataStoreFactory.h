#pragma once
// One per sync run: opens the device session when built; when destroyed, saves every change tracker
// of the run (rewriting the change databases) and closes the session.
#include <string>
#include <vector>

namespace orvale {

class DataStoreKind;

class DataStoreFactory {
public:
    DataStoreFactory();
    virtual ~DataStoreFactory();
    DataStoreFactory(const DataStoreFactory&) = delete;
    DataStoreFactory& operator=(const DataStoreFactory&) = delete;

    virtual DataStoreKind* createKindByName(const std::string& text);
    virtual DataStoreKind* createKindById(int code);
    virtual std::vector<DataStoreKind*> allKinds();
    virtual std::vector<DataStoreKind*> allKinds2() { return allKinds(); }
    virtual const std::string& name() const { return name_; }
    virtual void slot6() {}

private:
    std::string name_;
};

}  // namespace orvale
