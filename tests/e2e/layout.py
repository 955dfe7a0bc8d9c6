"""The windows' layouts as the program's own tables hold them (printed by the
probe's "layout" command), in twips, and where they fall in pixels at a
resolution; the names of the windows and controls that the tests reach."""

import os
import re

MAIN, RESULTS, ERROR = "Form1", "Form2", "Form3"


def _control_names(header):
    """The program's own names of the controls (cleanup/WindowNames.h), as
    module constants: kRepairCover of main_window becomes REPAIR_COVER; a name
    that two windows share takes its window's name first (RESULTS_MESSAGE)."""
    found = {}
    with open(header, encoding="utf-8") as source:
        window = None
        for line in source:
            window = (re.match(r"namespace (\w+)_window \{", line) or [None, window])[1]
            match = re.match(r'constexpr const char\* k(\w+) = "(\w+)";', line)
            if match:
                name = re.sub(r"(?<!^)(?=[A-Z])", "_", match.group(1)).upper()
                found.setdefault(name, []).append((window.upper(), match.group(2)))
    return {(window + "_" + name if len(places) > 1 else name): designer
            for name, places in found.items() for window, designer in places}


globals().update(_control_names(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "cleanup",
                                             "WindowNames.h")))

TWIPS_PER_INCH = 1440
# A point of the main window where no control lies (right of the credit line,
# below the link), in twips: the pointer there is over the bare window.
BARE_MAIN_WINDOW = (7200, 8175)


def pixels(twips, dpi):
    """Twips to the nearest pixel, halves away from zero, as the program rounds."""
    scaled = twips * dpi
    half = TWIPS_PER_INCH // 2
    return (scaled + half) // TWIPS_PER_INCH if scaled >= 0 else -((half - scaled) // TWIPS_PER_INCH)


class Layout:
    """The three windows' tables at one resolution."""

    def __init__(self, tables, dpi):
        self.tables, self.dpi = tables, dpi
        self.forms = {form["name"]: form for form in tables}

    def at(self, dpi):
        return Layout(self.tables, dpi)

    def title(self, form):
        return self.forms[form]["title"]

    def form_titled(self, title):
        return next((name for name, form in self.forms.items() if form["title"] == title), None)

    def client_size(self, form):
        return tuple(pixels(t, self.dpi) for t in self.forms[form]["client"])

    def controls(self, form, *kinds):
        return [c["name"] for c in self.forms[form]["controls"] if not kinds or c["kind"] in kinds]

    def rect(self, form, control):
        """Left, top, width and height in client pixels; a line gives both its ends' places."""
        spec = next(c for c in self.forms[form]["controls"] if c["name"] == control)
        left, top, width, height = spec["twips"]
        x, y = pixels(left, self.dpi), pixels(top, self.dpi)
        if spec["kind"] == "Line":
            return x, y, pixels(left + width, self.dpi) - x, pixels(top + height, self.dpi) - y
        return x, y, pixels(width, self.dpi), pixels(height, self.dpi)

    def point(self, x_twips, y_twips):
        return pixels(x_twips, self.dpi), pixels(y_twips, self.dpi)

    def centre(self, form, control):
        left, top, width, height = self.rect(form, control)
        return left + width // 2, top + height // 2
