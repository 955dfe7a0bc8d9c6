"""The top-level windows and their child controls as the probe reads them from
the running program, and the program's windows' controls found by name
through their layout rectangles."""


class Control:
    """A child control: hwnd, cls, text, rect (left, top, width, height in
    client pixels), visible; a list box also items, selected, itemHeight, topIndex."""

    def __init__(self, data):
        self.__dict__.update(data, cls=data["class"], rect=tuple(data["rect"]))

    def __repr__(self):
        return "<%s %r at %s>" % (self.cls, self.text, self.rect)

    def row_centre(self, index):
        """Where a list box shows its item of that index, once scrolled into view."""
        left, top, width, _ = self.rect
        return left + width // 2, top + 2 + (index - self.topIndex) * self.itemHeight + self.itemHeight // 2


class Window:
    """A top-level window: hwnd, title, cls, pid, visible, frame (screen left,
    top, width, height), client (screen left, top, then width, height), focus
    and controls; the program's own windows also know their form's layout."""

    def __init__(self, data, layout):
        self.__dict__.update(data, cls=data["class"], frame=tuple(data["frame"]), client=tuple(data["client"]),
                             focus=data.get("focus"), controls=[Control(c) for c in data["controls"]])
        self.layout, self.form = layout, layout.form_titled(data["title"])

    @property
    def client_size(self):
        return self.client[2], self.client[3]

    def rect(self, name):
        """A control's client rectangle from the window's layout."""
        return self.layout.rect(self.form, name)

    def centre(self, name):
        return self.layout.centre(self.form, name)

    def control(self, name):
        """The child window that lies exactly at that windowed control's layout rectangle."""
        rect = self.rect(name)
        found = [c for c in self.controls if c.rect == rect]
        if not found:
            raise AssertionError("no child at %r's %s in %r: %r" % (name, rect, self.title, self.controls))
        return found[0]

    def focused(self):
        return next((c for c in self.controls if c.hwnd == self.focus), None)

    def list_box(self):
        return next(c for c in self.controls if c.cls.lower() == "listbox")
