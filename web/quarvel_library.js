// Linked into quarvel.js (--js-library): the game's sleeps.
// - A sleep of 0 ms only gives the page its turn (the virtual clock of a
//   scripted run, or the game running flat out): a message the page posts to
//   itself comes back as the next task, where setTimeout(0) is held to 4 ms
//   once such calls nest.
// - While the page is paused and the game does not ask paused() itself, the
//   page hands out a promise (Module.quarvelPage.heldSleep()) and the sleep
//   ends only after it: the game is held between two frames.
mergeInto(LibraryManager.library, {
  $quarvelZeroSleep: null,
  emscripten_sleep__deps: ['$safeSetTimeout', '$callUserCallback', '$runtimeKeepalivePush',
    '$runtimeKeepalivePop', '$quarvelZeroSleep'],
  emscripten_sleep: function (ms) {
    Asyncify.handleSleep(function (wakeUp) {
      var sleep = function () {
        if (ms > 0 || typeof MessageChannel === 'undefined') {
          safeSetTimeout(wakeUp, ms);
          return;
        }
        if (!quarvelZeroSleep) {
          quarvelZeroSleep = { channel: new MessageChannel(), waiting: null };
          quarvelZeroSleep.channel.port1.onmessage = function () {
            var resume = quarvelZeroSleep.waiting;
            quarvelZeroSleep.waiting = null;
            runtimeKeepalivePop();
            callUserCallback(resume);
          };
        }
        runtimeKeepalivePush();
        quarvelZeroSleep.waiting = wakeUp;
        quarvelZeroSleep.channel.port2.postMessage(0);
      };
      var page = Module['quarvelPage'];
      var hold = page && page['heldSleep'] ? page['heldSleep']() : null;
      if (hold) {
        runtimeKeepalivePush();
        hold.then(function () {
          runtimeKeepalivePop();
          sleep();
        });
      } else {
        sleep();
      }
    });
  },
});
