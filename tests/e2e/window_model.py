"""The top-level windows and their child controls as the probe reads them from
the running program, and the program's windows' controls found by name
through their layout rectangles."""


class Control:
    def __init__(self, data):
        self.hwnd = data["hwnd"]
        self.cls = data["class"]
        self.text = data["text"]
        self.rect = tuple(data["rect"])  # left, top, width, height in client pixels
        self.visible = data["visible"]
        self.items = data.get("items")
        self.selected = data.get("selected")
        self.item_height = data.get("itemHeight")
        self.top_index = data.get("topIndex")

    def __repr__(self):
        return "<%s %r at %s>" % (self.cls, self.text, self.rect)


class Window:
    def __init__(self, data, layout):
        self.hwnd = data["hwnd"]
        self.title = data["title"]
        self.cls = data["class"]
        self.pid = data["pid"]
        self.visible = data["visible"]
        self.frame = tuple(data["frame"])  # screen left, top, width, height
        self.client = tuple(data["client"])  # screen left, top, then width, height
        self.focus = data.get("focus")
        self.controls = [Control(c) for c in data["controls"]]
        self.layout = layout
        self.form = layout.form_titled(self.title)

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
