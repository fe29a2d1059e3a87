// report.html in a real browser (headless Chromium): the net view zooms with the wheel and the
// buttons, pans by dragging, and a click on a node still shows its figures; the map view's
// slider and a click on an activity work; the conformance drawing fits; and no script error
// happens on the way.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/util_functions.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

const char* const kChromium = "/usr/bin/chromium";

// What a program printed on its standard output; started without a shell.
std::string output_of(const std::vector<std::string>& arguments) {
    std::array<int, 2> pipe_ends{};
    if (pipe(pipe_ends.data()) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipe_ends[1], STDOUT_FILENO);
        // The browser's complaints about the missing session bus are no finding here.
        const int nothing = open("/dev/null", O_WRONLY);
        dup2(nothing, STDERR_FILENO);
        close(pipe_ends[0]);
        close(pipe_ends[1]);
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipe_ends[1]);
    std::string out;
    std::array<char, 4096> buffer{};
    for (ssize_t got; (got = read(pipe_ends[0], buffer.data(), buffer.size())) > 0;)
        out.append(buffer.data(), static_cast<std::size_t>(got));
    close(pipe_ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return out;
}

// Records every script error from the first script on.
const char* const kErrorCatcher = R"(<script>
window.veskErrors = [];
window.addEventListener('error', function (e) { window.veskErrors.push(e.message); });
(function (original) {
  console.error = function () {
    window.veskErrors.push(Array.prototype.join.call(arguments, ' '));
    original.apply(console, arguments);
  };
})(console.error);
</script>
)";

// Plays the user once the page has laid itself out, and writes what it saw into the page.
const char* const kUser = R"(<script>
setTimeout(function () {
  var seen = [];
  function box(id) { return document.getElementById(id); }
  function shown(b) {
    var all = b.querySelectorAll('svg');
    for (var i = 0; i < all.length; i++) if (!all[i].closest('[hidden]')) return all[i];
  }
  function view(b) { return shown(b).getAttribute('viewBox').split(' ').map(Number); }
  function at(b, dx, dy) {
    var r = b.getBoundingClientRect();
    return { clientX: r.left + r.width / 2 + dx, clientY: r.top + r.height / 2 + dy,
             bubbles: true, cancelable: true, button: 0, pointerId: 1 };
  }
  try {
    document.querySelector('nav#views button[data-view=net]').click();
    var net = box('picture');
    var before = view(net);
    net.dispatchEvent(new WheelEvent('wheel', Object.assign(at(net, 0, 0), { deltaY: -400 })));
    var zoomed = view(net);
    seen.push('wheel ' + (zoomed[2] < before[2] * 0.8 ? 'zoomed in' : 'did nothing'));
    net.dispatchEvent(new PointerEvent('pointerdown', at(net, 0, 0)));
    net.dispatchEvent(new PointerEvent('pointermove', at(net, 60, 0)));
    net.dispatchEvent(new PointerEvent('pointermove', at(net, 120, 0)));
    net.dispatchEvent(new PointerEvent('pointerup', at(net, 120, 0)));
    net.dispatchEvent(new MouseEvent('click', at(net, 120, 0)));
    var panned = view(net);
    seen.push('drag ' + (panned[0] < zoomed[0] && panned[2] === zoomed[2] ? 'panned' : 'did nothing'));
    var buttons = net.querySelectorAll('.zoom-controls button');
    buttons[2].click();
    var fitted = view(net);
    buttons[0].click();
    seen.push('buttons ' + (view(net)[2] < fitted[2] ? 'zoom' : 'do nothing'));
    var node = net.querySelector('g.node.clickable');
    node.dispatchEvent(new MouseEvent('click', { bubbles: true, cancelable: true }));
    var info = document.querySelector('.info.shown');
    seen.push('node click ' + (info ? 'shows ' + info.id : 'shows nothing'));

    document.querySelector('nav#views button[data-view=map]').click();
    var map = box('map-picture');
    var slider = box('map-activities');
    slider.value = '3';
    slider.dispatchEvent(new Event('input'));
    var activity = shown(map).querySelector('g.node.activity');
    activity.dispatchEvent(new MouseEvent('click', { bubbles: true, cancelable: true }));
    var rows = box('map-info').querySelectorAll('th');
    seen.push('activity click ' + (rows.length ? rows[0].textContent : 'shows nothing'));
    seen.push('map ' + (view(map)[2] > 0 ? 'fitted' : 'not fitted'));
    document.querySelector('nav#views button[data-view=conformance]').click();
    var conformance = box('conformance-picture');
    conformance.querySelectorAll('.zoom-controls button')[2].click();
    seen.push('conformance ' + (view(conformance)[2] > 0 ? 'fitted' : 'not fitted'));
  } catch (e) {
    window.veskErrors.push(String(e));
  }
  seen.push('errors ' + JSON.stringify(window.veskErrors));
  var out = document.createElement('pre');
  out.id = 'vesk-seen';
  out.textContent = seen.join('\n');
  document.body.appendChild(out);
}, 300);
</script>
)";

TEST(ReportInABrowser, ZoomPanAndClicksWorkWithoutScriptErrors) {
    if (!std::filesystem::exists(kChromium)) GTEST_SKIP() << "chromium is not installed";
    // The browser reserves far more address space than it uses; under a limit it cannot start.
    rlimit space{};
    if (getrlimit(RLIMIT_AS, &space) == 0 && space.rlim_cur != RLIM_INFINITY)
        GTEST_SKIP() << "the address space is limited to " << space.rlim_cur << " bytes";
    if (!find_dot(program_folder())) GTEST_SKIP() << "dot is not installed";
    test::TempDir dir;
    const test::CliResult mined =
        test::run_cli({"mine", VESK_EXAMPLE_LOG, "--process", "1", "--out", dir.path().string(),
                       "--report", "--align", "-q"});
    ASSERT_EQ(mined.code, 0) << mined.err;
    std::string page = test::read_file(dir.path() / "report.html");
    page.insert(page.find("<head>") + 6, kErrorCatcher);
    page.insert(page.rfind("</body>"), kUser);
    const std::filesystem::path played = dir.path() / "played.html";
    std::ofstream(played) << page;
    const std::string dom =
        output_of({kChromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                   "--window-size=1200,900", "--virtual-time-budget=5000",
                   "--user-data-dir=" + (dir.path() / "profile").string(), "--dump-dom",
                   "file://" + played.string()});
    const auto begin = dom.find("<pre id=\"vesk-seen\">");
    ASSERT_NE(begin, std::string::npos) << dom.substr(0, 2000);
    const std::string seen = dom.substr(begin + 20, dom.find("</pre>", begin) - begin - 20);
    EXPECT_NE(seen.find("wheel zoomed in"), std::string::npos) << seen;
    EXPECT_NE(seen.find("drag panned"), std::string::npos) << seen;
    EXPECT_NE(seen.find("buttons zoom"), std::string::npos) << seen;
    EXPECT_NE(seen.find("node click shows info-"), std::string::npos) << seen;
    EXPECT_NE(seen.find("activity click Activity"), std::string::npos) << seen;
    EXPECT_NE(seen.find("map fitted"), std::string::npos) << seen;
    EXPECT_NE(seen.find("conformance fitted"), std::string::npos) << seen;
    EXPECT_NE(seen.find("errors []"), std::string::npos) << seen;
}

}  // namespace
}  // namespace vesk
