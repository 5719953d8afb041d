# Reads the running program as assistive technology does, over AT-SPI:
# chooses a figure and starts it with real clicks, hears the count's name
# change as the run goes, and checks what the labels and a thumbnail tell
# once the run has ended. Arguments: the figure (from 1), the cycle it ends
# at, and words its fate must hold in the label and in the thumbnail.
import subprocess
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

figure, end, fate, described = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3], sys.argv[4]


def fail(message):
    print("accessibility: " + message)
    sys.exit(1)


def program():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == "hexagonal-life":
            return app
    return None


def nodes(node):
    yield node
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield from nodes(child)


def find(app, role, prefix):
    for node in nodes(app):
        if node.get_role_name() == role and node.get_name().startswith(prefix):
            return node
    return None


loop = GLib.MainLoop()
deadline = GLib.get_monotonic_time() + 60 * 1000000
app = None


def wait_for_program():
    global app
    app = program()
    if app is not None and find(app, "push button", "Пуск") is not None:
        loop.quit()
        return False
    if GLib.get_monotonic_time() > deadline:
        fail("the program did not show itself to AT-SPI in 60 s")
    return True


GLib.timeout_add(200, wait_for_program)
loop.run()

# The names the count label is given while the run goes, as events.
heard = []


def on_name(event):
    source = event.source
    if source is not None and source.get_role_name() == "label" and source.get_name().startswith("Число циклов"):
        heard.append(source.get_name())
        if source.get_name() == "Число циклов: %d" % end:
            loop.quit()


listener = Atspi.EventListener.new(on_name)
listener.register("object:property-change:accessible-name")

# The window stands at the screen's top-left corner: the thumbnail, then
# «Пуск», with the pointer.
k = figure - 1
x, y = (68 if k % 2 else 20), 96 + 48 * (k // 2) + 24
subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)
subprocess.run(["xdotool", "mousemove", "148", "12", "click", "1"], check=True)
GLib.timeout_add(30000, lambda: (fail("heard only %s in 30 s" % heard[-5:]), False)[1])
loop.run()

count = find(app, "label", "Число циклов")
if count.get_name() != "Число циклов: %d" % end:
    fail("the count is named «%s»" % count.get_name())
# A run of a second or more is told as it goes, not only at its end.
if len(heard) < 2:
    fail("the count was told only as %s" % heard)
label = find(app, "label", "Судьба колонии")
if fate not in label.get_name():
    fail("the fate label is named «%s»" % label.get_name())
thumbnail = find(app, "filler", "Фигура %d" % figure)
if thumbnail is None or described not in thumbnail.get_description():
    fail("thumbnail %d is described as «%s»" % (figure, thumbnail and thumbnail.get_description()))
print("heard the count %d times, ending «%s»; «%s»; «%s»" % (len(heard), count.get_name(), label.get_name(),
                                                            thumbnail.get_description()))
