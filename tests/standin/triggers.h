// Actions armed to run inside a later call that the stand-in answers, so that a test can
// change the collection or send a cue while the program under test waits for that answer.
#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace standin {

class Triggers {
 public:
  // Runs `action` inside the `calls`-th counted call from now, before it is answered.
  void arm(int calls, std::function<void()> action) { armed_.push_back({calls, std::move(action)}); }
  // A counted call is being answered.
  void reached() {
    std::vector<std::function<void()>> due;
    for (auto it = armed_.begin(); it != armed_.end();) {
      if (--it->calls > 0) {
        ++it;
        continue;
      }
      due.push_back(std::move(it->action));
      it = armed_.erase(it);
    }
    for (auto& action : due) action();  // may arm again
  }

 private:
  struct Armed {
    int calls;
    std::function<void()> action;
  };
  std::vector<Armed> armed_;
};

}  // namespace standin
