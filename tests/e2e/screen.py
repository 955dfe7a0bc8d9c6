"""Pixels of screenshots: colour tests, rows of text, and the look of a picture
button at rest or highlighted."""
import itertools


class Image:
    """An RGB screenshot of one rectangle of the screen."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def count(self, predicate, rect=None):
        left, top, width, height = rect or (0, 0, self.width, self.height)
        return sum(1 for y in range(top, top + height) for x in range(left, left + width)
                   if predicate(self.pixel(x, y)))

    def rows_where(self, predicate, rect=None):
        """The rows (relative to the image) of rect that hold a matching pixel."""
        left, top, width, height = rect or (0, 0, self.width, self.height)
        return [y for y in range(top, top + height)
                if any(predicate(self.pixel(x, y)) for x in range(left, left + width))]


def colour(expected, tolerance=6):
    """A pixel test: that colour ("#rrggbb"), give or take a little."""
    wanted = tuple(int(expected[i:i + 2], 16) for i in (1, 3, 5))
    return lambda c: all(abs(a - b) <= tolerance for a, b in zip(c, wanted))


def is_blue_text(c):
    return c[2] > 180 and c[0] < 90 and c[1] < 90


def is_dark(c):
    return max(c) < 100


def is_white(c):
    return min(c) >= 250


def is_banner_blue(c):
    return c[2] > 110 and c[0] < 70 and c[2] > c[1] + 30


def bands(rows):
    """Groups sorted row numbers into runs of consecutive rows (a run keeps row - position)."""
    return [[row for _, row in run] for _, run in itertools.groupby(enumerate(rows), lambda p: p[1] - p[0])]


# The rings of every picture button, from the edge inwards.
FRAME = colour("#ecf6f9")
BORDER = colour("#4878a0")
PLAIN_RING = colour("#f0f8f8")
GLOW_RING = colour("#28d0f8")
GLOWING = colour("#28d0f8", 40)  # the glow, also where smooth scaling blends it


def button_checks(name, rect, highlighted):
    """Point checks of a picture button drawn at its natural 23-pixel height at
    that client rectangle: plain or highlighted is told by the ring just
    inside the border."""
    left, top, width, _ = rect
    ring = GLOW_RING if highlighted else PLAIN_RING
    middle_x, middle_y = left + width // 2, top + 11
    state = "highlighted" if highlighted else "plain"
    return [("%s frame" % name, left, top, FRAME),
            ("%s frame" % name, left + width - 1, top + 22, FRAME),
            ("%s border" % name, left + 1, middle_y, BORDER),
            ("%s border" % name, middle_x, top + 1, BORDER),
            ("%s border" % name, left + width - 2, middle_y, BORDER),
            ("%s %s ring" % (name, state), left + 2, middle_y, ring),
            ("%s %s ring" % (name, state), middle_x, top + 2, ring),
            ("%s %s ring" % (name, state), left + width - 3, middle_y, ring)]


def glows(image, rect):
    """Whether a scaled picture button shows its glow: a ring of it all round."""
    return image.count(GLOWING, rect) >= rect[2]
