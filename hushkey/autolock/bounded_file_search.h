// A file search that never keeps its caller waiting longer than a fixed limit. The marker
// file of the file condition may sit on a network share; a search there can block for many
// seconds when the server does not answer, and the check runs on the thread that serves the
// input hooks. The search itself runs on a worker thread; the caller waits at most the
// limit and otherwise takes the last answer that a search of the same pattern gave (false
// when there was none). A search still under way is waited for again, never started twice.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "hushkey/autolock/dont_lock_if.h"

namespace hushkey {

class BoundedFileSearch final : public FileSearchPort {
 public:
  // `search` runs on worker threads and may outlive this object; it must be safe to call
  // from several threads.
  BoundedFileSearch(std::shared_ptr<FileSearchPort> search, std::chrono::milliseconds limit);
  ~BoundedFileSearch() override;
  BoundedFileSearch(const BoundedFileSearch&) = delete;
  BoundedFileSearch& operator=(const BoundedFileSearch&) = delete;

  bool AnyFileMatches(const std::string& pattern) override;

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  std::chrono::milliseconds limit_;
};

}  // namespace hushkey
