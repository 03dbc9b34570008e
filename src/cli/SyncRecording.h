#pragma once

#include <memory>

class DataFile;
namespace syncing {
class Session;
}

namespace cli {

// A change made from the command line while the sync is on, recorded for her other computers in the
// change's own transaction and appended to this computer's journal when the command ends. Never in the way:
// with the sync off it does nothing, and what cannot be written now the next run appends.
class SyncRecording {
  public:
    explicit SyncRecording(DataFile& file);
    ~SyncRecording();
    SyncRecording(const SyncRecording&) = delete;
    SyncRecording& operator=(const SyncRecording&) = delete;

  private:
    std::unique_ptr<syncing::Session> session_;
};

}  // namespace cli
