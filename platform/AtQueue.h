#pragma once
// The host's `at` queue, through its own commands (at, atq, atrm); atd runs what it holds. Only
// the current user's jobs are looked at.
#include <optional>
#include <string>
#include <vector>

#include "platform/SystemTime.h"

namespace orvale::platform::atqueue {

struct QueuedJob {
    std::string id;
    platform::SystemTime time;  // local time, to the minute
};

// Whether the queue's commands are there to be started (found in PATH). Without them nothing can
// have been queued that this process could see or remove.
bool installed();

// Jobs of the current user still waiting for their time (a job atd is running is left out);
// nullopt when the queue cannot be read.
std::optional<std::vector<QueuedJob>> pendingJobs(std::string* error);

// The job's script as the queue keeps it; nullopt when it cannot be read.
std::optional<std::string> jobScript(const std::string& id);

// Queues the shell script `script` for the local minute of `at`.
bool submit(const std::string& script, const platform::SystemTime& at, std::string* error);

bool remove(const std::vector<std::string>& ids, std::string* error);

}  // namespace orvale::platform::atqueue
