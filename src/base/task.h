// A procedure that can stop in the middle and go on later: a C++20
// coroutine. The scenes keep the shape they always had, one procedure with
// its frame loop read top to bottom, and where they waited they co_await:
// the frame goes back to the app, which resumes them when the wait is over.
//
// A Task starts when it is awaited (or, the outermost one, when the app
// runs it first) and hands its result to the task awaiting it. Tasks do not
// resume each other directly: each says which task runs next, and the loop
// that runs the outermost task (resumeAt) resumes it, so the stack stays
// flat however deep the awaits go, on every compiler and in WebAssembly,
// which has no tail calls to spare. Destroying a task that has not
// finished destroys it where it stands, and with it the tasks it awaits:
// every local of every scene on the way is destroyed in order, as if each
// had returned.
#pragma once

#include <exception>
#include <optional>
#include <utility>

// g++ and the browser's libc++ (Emscripten 3.1.6, clang 14) keep the
// coroutine library in different places.
#if __has_include(<coroutine>)
#include <coroutine>
namespace coro = std;
#else
#include <experimental/coroutine>
namespace coro = std::experimental;
#endif

namespace task_detail {

struct PromiseBase {
  coro::coroutine_handle<> awaiting;  // resumed when this task is done; none for the outermost
  // Where the outermost task's loop finds the coroutine to resume next: its
  // own slot for the outermost, the outermost's for every task it awaits.
  coro::coroutine_handle<>* next = &ownNext;
  coro::coroutine_handle<> ownNext;
  std::exception_ptr failure;

  coro::suspend_always initial_suspend() const noexcept { return {}; }
  struct Done {
    bool await_ready() const noexcept { return false; }
    template <typename Promise>
    void await_suspend(coro::coroutine_handle<Promise> done) const noexcept {
      *done.promise().next = done.promise().awaiting;
    }
    void await_resume() const noexcept {}
  };
  Done final_suspend() const noexcept { return {}; }
  void unhandled_exception() noexcept { failure = std::current_exception(); }
  void rethrowFailure() const {
    if (failure) std::rethrow_exception(failure);
  }
};

template <typename T>
struct Promise : PromiseBase {
  std::optional<T> value;
  template <typename V>
  void return_value(V&& result) {
    value = std::forward<V>(result);
  }
  T take() {
    rethrowFailure();
    return std::move(*value);
  }
};

template <>
struct Promise<void> : PromiseBase {
  void return_void() const noexcept {}
  void take() const { rethrowFailure(); }
};

}  // namespace task_detail

template <typename T = void>
class [[nodiscard]] Task {
 public:
  struct promise_type : task_detail::Promise<T> {
    Task get_return_object() { return Task(coro::coroutine_handle<promise_type>::from_promise(*this)); }
  };

  Task(Task&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  Task& operator=(Task&& other) noexcept {
    if (this != &other) {
      if (handle_) handle_.destroy();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  Task(const Task&) = delete;
  Task& operator=(const Task&) = delete;
  ~Task() {
    if (handle_) handle_.destroy();
  }

  // co_await task: the awaiting task stops here, this one runs next and
  // the awaiting one goes on with its result once it is done.
  bool await_ready() const noexcept { return false; }
  template <typename Promise>
  void await_suspend(coro::coroutine_handle<Promise> awaiting) const noexcept {
    promise_type& promise = handle_.promise();
    promise.awaiting = awaiting;
    promise.next = awaiting.promise().next;
    *promise.next = handle_;
  }
  T await_resume() const { return handle_.promise().take(); }

  // For the one that runs the outermost task: where it starts; running it
  // from there, or from where it last waited on something else than a task
  // (a sleep), until it waits on such a thing again or is done; whether it
  // is done, and its result (a failure inside it is thrown here).
  coro::coroutine_handle<> start() const noexcept { return handle_; }
  void resumeAt(coro::coroutine_handle<> at) const {
    coro::coroutine_handle<>& next = *handle_.promise().next;
    next = at;
    while (next) std::exchange(next, nullptr).resume();
  }
  bool done() const noexcept { return !handle_ || handle_.done(); }
  T result() const { return handle_.promise().take(); }

 private:
  explicit Task(coro::coroutine_handle<promise_type> handle) : handle_(handle) {}
  coro::coroutine_handle<promise_type> handle_;
};
