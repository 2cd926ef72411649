#include "hushkey/autolock/bounded_file_search.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace hushkey {

struct BoundedFileSearch::Shared {
  struct Entry {
    bool running = false;
    bool answered = false;  // a search of this pattern has finished at least once
    bool answer = false;    // what the last finished search said
    std::chrono::steady_clock::time_point started;
  };

  std::shared_ptr<FileSearchPort> search;
  std::mutex mutex;
  std::condition_variable finished;
  std::map<std::string, Entry> entries;
};

BoundedFileSearch::BoundedFileSearch(std::shared_ptr<FileSearchPort> search,
                                     std::chrono::milliseconds limit)
    : shared_(std::make_shared<Shared>()), limit_(limit) {
  shared_->search = std::move(search);
}

BoundedFileSearch::~BoundedFileSearch() = default;

bool BoundedFileSearch::AnyFileMatches(const std::string& pattern) {
  std::unique_lock lock(shared_->mutex);
  // Only the patterns in use are kept; a setting changed many times leaves no trail.
  if (shared_->entries.size() > 8) {
    std::erase_if(shared_->entries,
                  [&](const auto& e) { return !e.second.running && e.first != pattern; });
  }
  auto& entry = shared_->entries[pattern];
  if (!entry.running) {
    entry.running = true;
    entry.started = std::chrono::steady_clock::now();
    try {
      std::thread([shared = shared_, pattern] {
        const bool found = shared->search->AnyFileMatches(pattern);
        {
          std::lock_guard done(shared->mutex);
          auto& e = shared->entries[pattern];
          e.running = false;
          e.answered = true;
          e.answer = found;
        }
        shared->finished.notify_all();
      }).detach();
    } catch (const std::system_error&) {
      // No thread to be had: search here, unbounded, rather than not at all.
      entry.running = false;
      lock.unlock();
      return shared_->search->AnyFileMatches(pattern);
    }
  }
  // The limit counts from the start of the search, so a caller that comes while a slow
  // search is already past its limit does not wait again.
  shared_->finished.wait_until(lock, entry.started + limit_, [&] { return !entry.running; });
  return entry.answered && entry.answer;
}

}  // namespace hushkey
