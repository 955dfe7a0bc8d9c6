# Notices the moment a top-level window with a given title is mapped, by
# speaking the X11 protocol to the display directly: event-driven, so the
# start-up times are not rounded to the polling step of a helper program.
import os
import select
import socket
import struct
import time

MAP_NOTIFY = 19
PROPERTY_NOTIFY = 28
CLIENT_MESSAGE = 33
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
PROPERTY_CHANGE_MASK = 1 << 22
CW_EVENT_MASK = 1 << 11


def _pad(n):
    return (4 - n % 4) % 4


class XWatcher:
    def __init__(self, display):
        number = display.lstrip(":").split(".")[0]
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect("/tmp/.X11-unix/X" + number)
        self.buffer = b""
        self.events = []
        self.sequence = 0  # of the last request sent, as the server counts them
        # Little-endian, protocol 11.0, no authorisation (a private Xvfb).
        self.sock.sendall(struct.pack("<BxHHHHxx", 0x6C, 11, 0, 0, 0))
        head = self._read(8)
        if head[0] != 1:
            raise RuntimeError("X server refused the connection")
        extra = self._read(struct.unpack_from("<H", head, 6)[0] * 4)
        vendor_length = struct.unpack_from("<H", extra, 16)[0]
        formats = extra[21]
        screen = 32 + vendor_length + _pad(vendor_length) + 8 * formats
        self.root = struct.unpack_from("<I", extra, screen)[0]
        self.utf8 = self._atom("UTF8_STRING")
        self.net_wm_name = self._atom("_NET_WM_NAME")
        self.wm_protocols = self._atom("WM_PROTOCOLS")
        self.net_wm_ping = self._atom("_NET_WM_PING")
        self.pings = 0
        self._select(self.root, SUBSTRUCTURE_NOTIFY_MASK)
        self.mapped = set()

    def _read(self, n):
        while len(self.buffer) < n:
            chunk = self.sock.recv(65536)
            if not chunk:
                raise RuntimeError("X connection closed")
            self.buffer += chunk
        data, self.buffer = self.buffer[:n], self.buffer[n:]
        return data

    def _packet(self):
        packet = self._read(32)
        if packet[0] == 1:  # a reply may be longer than 32 bytes
            packet += self._read(struct.unpack_from("<I", packet, 4)[0] * 4)
        return packet

    def _send(self, data):
        self.sock.sendall(data)
        self.sequence = (self.sequence + 1) & 0xFFFF

    def _request(self, data):
        """Sends a request that has a reply; events that come first are kept,
        errors of earlier requests (a window gone meanwhile) are dropped."""
        self._send(data)
        while True:
            packet = self._packet()
            if packet[0] in (0, 1):
                if struct.unpack_from("<H", packet, 2)[0] == self.sequence:
                    return packet if packet[0] == 1 else None
                continue
            self.events.append((time.perf_counter(), packet))

    def _atom(self, name):
        raw = name.encode()
        data = struct.pack("<BBHHxx", 16, 0, 2 + (len(raw) + _pad(len(raw))) // 4, len(raw))
        reply = self._request(data + raw + b"\0" * _pad(len(raw)))
        return struct.unpack_from("<I", reply, 8)[0]

    def _select(self, window, mask):
        self._send(struct.pack("<BxHIII", 2, 4, window, CW_EVENT_MASK, mask))

    def _property(self, window, atom, kind):
        reply = self._request(struct.pack("<BBHIIIII", 20, 0, 6, window, atom, kind, 0, 1024))
        if reply is None:
            return None  # the window is already gone
        length = struct.unpack_from("<I", reply, 16)[0]
        return reply[32:32 + length]

    def title(self, window):
        name = self._property(window, self.net_wm_name, self.utf8)
        if not name:
            name = self._property(window, 39, 0)  # WM_NAME, any type
        return (name or b"").decode("utf-8", "replace")

    def drain(self):
        """Forgets everything that happened so far (earlier runs' windows)."""
        self.events.clear()
        while select.select([self.sock], [], [], 0)[0] or len(self.buffer) >= 32:
            self._packet()
        self.mapped.clear()

    def _next_event(self, deadline):
        if self.events:
            return self.events.pop(0)
        while len(self.buffer) < 32:
            left = deadline - time.perf_counter()
            if left <= 0 or not select.select([self.sock], [], [], left)[0]:
                return None
            chunk = self.sock.recv(65536)
            if not chunk:
                raise RuntimeError("X connection closed")
            self.buffer += chunk
        stamp = time.perf_counter()
        return stamp, self._packet()

    def wait_shown(self, title, timeout, alive=None):
        """(window id, time it was mapped) of the first window titled `title`
        to be mapped from now on; None on timeout or when alive() turns false."""
        deadline = time.perf_counter() + timeout
        while True:
            # Wake up now and then to notice a process that died without a window.
            event = self._next_event(min(deadline, time.perf_counter() + 0.25))
            if event is None:
                if time.perf_counter() >= deadline or (alive and not alive()):
                    return None
                continue
            stamp, packet = event
            code = packet[0] & 0x7F
            if code == MAP_NOTIFY:
                window = struct.unpack_from("<I", packet, 8)[0]
                self.mapped.add(window)
                # Titles set after the map are caught by PropertyNotify.
                self._select(window, PROPERTY_CHANGE_MASK)
                if self.title(window) == title:
                    return window, stamp
            elif code == PROPERTY_NOTIFY:
                window = struct.unpack_from("<I", packet, 4)[0]
                if window in self.mapped and self.title(window) == title:
                    return window, stamp

    def ping(self, window, timeout):
        """The moment (perf_counter) at which the program that owns `window`
        answers a _NET_WM_PING. Wine answers from its message loop, so this is
        when the program's thread takes events again; None on timeout."""
        self.pings += 1
        token = self.pings
        event = struct.pack("<BBHII5I", CLIENT_MESSAGE, 32, 0, window, self.wm_protocols, self.net_wm_ping, token,
                            window, 0, 0)
        start = time.perf_counter()
        self._send(struct.pack("<BBHII", 25, 0, 11, window, 0) + event)
        deadline = start + timeout
        while True:
            received = self._next_event(deadline)
            if received is None:
                return None
            stamp, packet = received
            if packet[0] & 0x7F != CLIENT_MESSAGE:
                continue
            kind, protocol, answered = struct.unpack_from("<III", packet, 8)
            if kind == self.wm_protocols and protocol == self.net_wm_ping and answered == token:
                return stamp

    def close(self):
        self.sock.close()


if __name__ == "__main__":
    import sys
    watcher = XWatcher(os.environ["DISPLAY"])
    found = watcher.wait_shown(sys.argv[1], float(sys.argv[2]) if len(sys.argv) > 2 else 30)
    print(found)
