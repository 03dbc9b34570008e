#pragma once

#include <memory>

class DataFile;
namespace syncing {
class Session;
}

namespace vault {
class Secret;
}

namespace cli {

struct Context;

// Her passphrase set or changed from the command line: while the sync is on, the sync folder is sealed with
// it too, so that her other computers ask for the new one (told on err; the command stands either way).
void sealSyncFolderWith(Context& context, const vault::Secret& passphrase);

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
