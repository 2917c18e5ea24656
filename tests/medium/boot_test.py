#!/usr/bin/env python3
"""Boots the rehearsal rescue medium in QEMU (TCG) and walks the tool through
the backup and the restore the way an operator would: the screen is read
(screendump + tesseract), the tablet clicks and the keyboard types. The
guest's own evidence (mounts, swaps, LVM, stand-in logs) comes over ttyS1.

usage: boot_test.py --mode bios|uefi|secboot [--usb] [--lang en|ru] [--login-ratio]
                    --iso IMAGE --disks CACHE --out FOLDER --source SRC"""

import argparse
import os
import re
import subprocess
import sys
import threading
import time
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from vm import Machine, TestFailure, Words, field_right_of  # noqa: E402

# Power-on to the tool's window, in seconds, under TCG on a shared machine.
WINDOW_LIMIT = int(os.environ.get("SV_MEDIUM_WINDOW_LIMIT", "420"))
# Power-on to the window over power-on to the login prompt with the session
# off (boot menu's second entry), same image and machine.
LOGIN_RATIO_LIMIT = float(os.environ.get("SV_MEDIUM_LOGIN_RATIO_LIMIT", "3.0"))


class Texts:
    """The tool's own texts in the language of the walk, from its catalogue."""

    def __init__(self, source, lang):
        self.lang = lang
        self.table = {}
        if lang == "en":
            return
        path = os.path.join(source, "svkey2", "translations", "svkey2_%s.ts" % lang)
        for ctx in ET.parse(path).getroot():
            name = ctx.findtext("name")
            for m in ctx.findall("message"):
                tr = m.find("translation")
                if tr is not None and tr.text:
                    self.table[(name, m.findtext("source"))] = tr.text

    def __call__(self, context, text):
        return self.table.get((context, text), text) if self.lang != "en" else text


def plain_text(m, pic):
    """What a text screen (firmware, boot menu, console) reads, in one
    lower-case string without blanks; light on dark and dark on light
    lines alike (the picture is read as it is and inverted)."""
    png = os.path.join(m.dir, "plain.png")
    pic.write_png(png)
    text = ""
    for negate in ([], ["-negate"]):
        big = os.path.join(m.dir, "plain-big.png")
        subprocess.run(["convert", png, "-colorspace", "gray"] + negate + ["-resize", "200%", big], check=True)
        text += subprocess.run(["tesseract", big, "-", "-l", "eng", "--psm", "6"],
                               capture_output=True, text=True, timeout=120).stdout
    return "".join(text.lower().split())


def log(*args):
    print("[%s]" % time.strftime("%H:%M:%S"), *args, flush=True)


def check(cond, what):
    if not cond:
        raise TestFailure(what)


class Walk:
    def __init__(self, args):
        self.args = args
        self.tr = Texts(args.source, args.lang)
        self.langs = "rus+eng" if args.lang == "ru" else "eng"
        self.m = None
        self.times = {}
        self.env = {}
        with open(os.path.join(args.disks, "disks.env")) as f:
            for line in f:
                k, _, v = line.strip().partition("=")
                self.env[k] = v

    # --- screen helpers ---------------------------------------------------------
    def read_in_english(self):
        """The screen read again in English only: read in Russian, a Latin
        name can come out in Cyrillic letters ("nvme0n1" as "путе0п1")."""
        return self.m.read(self.m.screen(), "eng")

    def wait(self, phrases, timeout=90, name=None, interval=3):
        return self.m.wait_text(phrases, timeout, name, self.langs, interval)

    def click_text(self, phrase, timeout=90, name=None, settle=1.5):
        _, box, _ = self.wait(phrase, timeout, name)
        self.m.click_box(box)
        time.sleep(settle)
        return box

    def field_box(self, label):
        """The input box (x, y, w, h) right of a label's box: a white box on
        the label's line; None if there is none."""
        png = os.path.join(self.m.dir, "fields.png")
        self.m.screen().write_png(png)
        return field_right_of(Words._white_boxes(png), label)

    def field_after(self, box):
        """A point inside the input box right of a label: the white box on
        its line, else the first strong edge right of the label's text."""
        field = self.field_box(box)
        if field:
            return field[0] + 25, field[1] + field[3] // 2
        pic = self.m.screen()
        y = box[1] + box[3] // 2
        x = box[0] + box[2] + 4
        bg = pic.pixel(x, y)
        while x < pic.width - 10:
            p = pic.pixel(x, y)
            if sum(abs(a - b) for a, b in zip(p, bg)) > 60:
                return x + 25, y
            x += 1
        self.m.fail("no input field right of the label at %s" % (box,))

    def field_extent(self, box):
        """(left, right, y) of the input box right of a label."""
        field = self.field_box(box)
        if field:
            return field[0], field[0] + field[2] - 1, field[1] + field[3] // 2
        x, y = self.field_after(box)
        pic = self.m.screen()
        left = x - 25
        bg = pic.pixel(left - 3, y)

        def edge(px, py):
            return sum(abs(a - b) for a, b in zip(pic.pixel(px, py), bg)) > 60
        # Up to the box's top border, then along it to its right end.
        top = y
        while top > y - 40 and not edge(left + 5, top):
            top -= 1
        right = left + 5
        while right < pic.width - 2 and (edge(right + 1, top) or edge(right + 1, top + 1)):
            right += 1
        if right - left < 40:
            self.m.fail("the box right of the label at %s has no top border" % (box,))
        return left, right, y

    def open_combo(self, label, name=None, langs="eng", label_langs=None):
        """Opens the combo right of `label` by its arrow; returns the words
        read on the screen with its list open."""
        _, box, _ = self.m.wait_text(label, 30, None, label_langs or self.langs, label=True)
        _, right, y = self.field_extent(box)
        before = self.m.screen()
        self.m.click(right - 14, y)
        pic = self.m.wait_change(before, 20, settle=1)
        if name:
            pic = self.m.screen(name)
        return self.m.read(pic, langs)

    def type_into(self, label, text, secret=False):
        _, box, _ = self.m.wait_text(label, 30, None, self.langs, label=True)
        x, y = self.field_after(box)
        self.m.click(x, y)
        time.sleep(0.5)
        self.m.keys("ctrl", "a")
        self.m.keys("backspace")
        self.m.type(text)
        time.sleep(0.5)
        log("typed into %r: %s" % (label, "***" if secret else text))

    def nav_buttons(self, pic):
        """The step page's "back" and "forward" buttons: the two buttons at
        the bottom right of the page's white panel, found by their colour.
        Returns {name: (x, y, enabled)}."""
        png = os.path.join(self.m.dir, "nav.png")
        pic.write_png(png)
        boxes = Words._white_boxes(png)
        if not boxes:
            self.m.fail("no white page panel on the screen")
        px, py, pw, ph = max(boxes, key=lambda b: b[2] * b[3])
        right, bottom = px + pw - 1, py + ph - 1

        def white(p):
            return min(p) >= 254

        def body(p):
            # a button's face (teal, its hover shade, or the grey of a
            # disabled one), not the dark frame of the focused one
            return not white(p) and max(p) > 100
        probe = right - 25  # inside the forward button, right of its text
        for y in range(bottom - 4, bottom - 80, -1):
            if body(pic.pixel(probe, y)):
                break
        else:
            self.m.fail("no buttons at the bottom right of the page")
        top = y
        while top > bottom - 120 and body(pic.pixel(probe, top - 1)):
            top -= 1
        cy = (y + top) // 2
        found = []
        x = right - 4
        while x > px + 4 and len(found) < 2:
            while x > px + 4 and white(pic.pixel(x, cy)):
                x -= 1
            x1 = x
            # A button ends at a white gap wider than its letters' strokes.
            while x > px + 4 and not all(white(pic.pixel(x - i, cy)) for i in range(7)):
                x -= 1
            if x1 - x > 20:
                face = x + 1
                while face < x1 and not body(pic.pixel(face, cy)):
                    face += 1
                r, g, b = pic.pixel(face + 2, cy)
                found.append(((x + x1) // 2, cy, g - r > 40))
        if len(found) < 2:
            self.m.fail("the back and forward buttons were not found")
        return {"forward": found[0], "back": found[1]}

    def forward(self, name=None, timeout=60):
        """Presses "forward" once it is enabled; returns when the page changed."""
        deadline = time.monotonic() + timeout
        while True:
            pic = self.m.screen()
            x, y, enabled = self.nav_buttons(pic)["forward"]
            if enabled:
                break
            if time.monotonic() > deadline:
                self.m.fail("\"forward\" stays disabled")
            time.sleep(2)
        if name:
            self.m.screen(name)
        self.m.click(x, y)
        self.m.wait_change(pic, 60)

    # --- guest evidence ---------------------------------------------------------
    def evidence(self, tag):
        ev = self.m.dump(tag)
        disks = {}
        for line in ev.get("lsblk", []):
            f = line.split(" ")
            if len(f) >= 2 and f[1] == "disk":
                disks[f[0]] = f[4] if len(f) > 4 else ""
        ev["_disks"] = disks
        return ev

    def target_disks(self, ev):
        """(disk 1, disk 2, medium's disk or None) by their transports."""
        d1 = [n for n, t in ev["_disks"].items() if t == "sata"]
        d2 = [n for n, t in ev["_disks"].items() if t == "nvme"]
        usb = [n for n, t in ev["_disks"].items() if t == "usb"]
        check(len(d1) == 1 and len(d2) == 1, "disks seen by the guest: %s" % ev["_disks"])
        return d1[0], d2[0], (usb[0] if usb else None)

    def check_untouched(self, ev, when):
        d1, d2, _ = self.target_disks(ev)
        touched = [line for line in ev.get("mounts", [])
                   if re.match(r"/dev/(%s|%s|mapper/vg_)" % (d1, d2), line)
                   or "vg_web01" in line or "vg_nvme" in line]
        check(not touched, "%s: the machine's disks are mounted: %s" % (when, touched))
        swaps = [line for line in ev.get("swaps", []) if line.strip() and not line.startswith("Filename")]
        check(not swaps, "%s: swap is on: %s" % (when, swaps))

    def vgs(self, ev):
        # "PV:VG" lines only (LVM may add notes of its own)
        return sorted({m.group(1) for m in (re.match(r"^\s*/dev/\S+:(\S+)\s*$", line)
                                             for line in ev.get("pvs", [])) if m})

    # --- the walk ---------------------------------------------------------------
    def machine(self, folder):
        a = self.args
        return Machine(os.path.join(a.out, folder), a.mode, a.iso, os.path.join(a.disks, "disk1.qcow2"),
                       os.path.join(a.disks, "disk2.qcow2"), usb=a.usb)

    def login_boot(self):
        """Boots the same image, on the same machine, by the boot menu's
        second entry (the tool's session off) to the login prompt on the
        first console; returns the seconds from power-on to the prompt."""
        m = self.machine("vm-text")
        try:
            # "End" picks the menu's last entry and stops its count-down:
            # pressed every few tenths of a second from power-on (firmware
            # ignores it) until the menu is read on the screen, then Enter.
            stop = threading.Event()

            def press_end():
                while not stop.wait(0.3):
                    try:
                        m.keys("end")
                    except Exception:
                        return
            presser = threading.Thread(target=press_end, daemon=True)
            presser.start()
            try:
                deadline = time.monotonic() + 180
                last = None
                while True:
                    pic = m.screen()
                    if pic.pixels != last:
                        last = pic.pixels
                        if "textconsoleonly" in plain_text(m, pic):
                            break
                    if time.monotonic() > deadline:
                        m.fail("the boot menu never showed its \"text console only\" entry")
                    time.sleep(0.5)
            finally:
                stop.set()
                presser.join()
            m.keys("end")
            m.screen("boot-menu")
            m.keys("ret")
            # The end of the start-up (the login prompts are part of it),
            # then the prompt itself on the screen.
            login = m.wait_console("Startup finished", WINDOW_LIMIT)
            log("text console: start-up finished after %.0f s" % login)
            deadline = time.monotonic() + 120
            while "login:" not in plain_text(m, m.screen()):
                if time.monotonic() > deadline:
                    m.fail("no login prompt on the first console")
                time.sleep(2)
            m.screen("login-prompt")
            check("SV-MARKER session-up" not in m.console(), "the session started although it was off")
            return login
        finally:
            m.stop()

    def boot(self):
        a = self.args
        self.m = self.machine("vm")
        log("powered on:", " ".join(self.m.cmd))
        # The medium writes a marker to the serial console when the tool's
        # window is mapped; the screen is read from then on (reading it
        # during the boot would only take the processor from the guest).
        self.times["window"] = self.m.wait_console("SV-MARKER window-up", WINDOW_LIMIT)
        log("the tool's window mapped after %.0f s" % self.times["window"])
        welcome = ["Welcome to the disaster", "Добро пожаловать"]
        self.m.wait_text(welcome, 120, None, "eng+rus", interval=2)
        self.times["welcome"] = self.m.elapsed()
        log("its welcome page read after %.0f s" % self.times["welcome"])
        pic = self.m.screen("welcome")
        # The window fills the screen: no pixel of the bare X root (black)
        # along the screen's edges.
        edge = [pic.pixel(x, y) for x in range(0, pic.width, 7) for y in (0, pic.height - 1)]
        edge += [pic.pixel(x, y) for y in range(0, pic.height, 7) for x in (0, pic.width - 1)]
        black = sum(1 for p in edge if max(p) < 12)
        check(black < len(edge) // 20, "the window does not fill the screen (%d of %d edge pixels black)"
              % (black, len(edge)))
        ev = self.evidence("boot")
        self.check_untouched(ev, "after boot, before any input")
        d1, d2, usb = self.target_disks(ev)
        check(sorted(self.vgs(ev)) == ["vg_nvme", "vg_web01"], "volume groups at boot: %s" % self.vgs(ev))
        check(not a.usb or usb, "the USB medium is not among the guest's disks: %s" % ev["_disks"])
        self.disk1, self.disk2, self.usb_disk = d1, d2, usb
        # disk 1's LVM partition as the tool lists it (sda3, nvme0n1p3...)
        self.pv1 = d1 + ("p3" if d1[-1].isdigit() else "3")
        log("disks: installed system %s, NVMe %s, medium %s" % (d1, d2, usb))

    def start(self):
        """On the welcome page: the walk's language from the language combo
        (whatever the tool started in), then "Start"."""
        want = {"en": "En", "ru": "Ru"}[self.args.lang]
        words = self.open_combo(["Choose language", "Выберите язык"], "language-combo",
                                label_langs="rus+eng")
        box = words.find(want)
        if not box:
            self.m.fail("no entry %r in the language list; it reads:\n%s" % (want, words.text()))
        self.m.click_box(box)
        self.wait(self.tr("WelcomePage", "Choose language"), 30, "welcome-" + self.args.lang)
        self.click_text(self.tr("WelcomePage", "Start"), 30)

    def backup(self):
        tr = self.tr
        t0 = self.m.elapsed()
        self.click_text(tr("ScenarioSelectionPage", "Backup"), 60, "scenario")
        self.wait(tr("Window", "Choose backup device for creating resque image"), 60,
                  "backup-device")
        # The drive combo offers the machine's disks and never the medium's own.
        words = self.open_combo(tr("BackupChoosingDevicePage", "Drive"), "backup-drives")
        self.check_offered(words, "backup source")
        box = words.find(self.disk1)
        check(box, "disk 1 (%s) is not offered as a backup source" % self.disk1)
        self.m.click_box(box)
        time.sleep(2)
        # The LVM physical volume opens (with a note that it is no file
        # system), then its root volume is chosen.
        _, box, _ = self.m.wait_text(self.pv1, 60, None, "eng")
        self.m.click_box(box)
        time.sleep(2)
        self.m.screen("backup-pv-note")
        self.m.keys("esc")
        time.sleep(1.5)
        _, box, _ = self.m.wait_text("vg_web01-root", 30, "backup-lvm-open", "eng")
        self.m.click_box(box)
        time.sleep(2)
        self.forward("backup-device-chosen")
        self.wait(tr("Window", "Chosen disk info"), 120,
                  "backup-diskinfo")
        # The column header is in the walk's language, the rows are not.
        _, _, words = self.m.wait_text(tr("FstabView", "Need backup"), 30, None, self.langs)
        self.mark_rows(words, ["vg_web01-root", "/boot"])
        self.forward("backup-marked")
        _, _, words = self.wait(tr("Window", "Confirm chosen data: backup"), 60, "backup-confirm")
        # Both marked rows are among the directories to back up.
        for row in ("vg_web01", "/boot"):
            check(words.find(row, part=True), "the confirmation does not list %s:\n%s" % (row, words.text()))
        self.forward()  # "Create image"
        self.wait_end(tr("BackupCreatingPage", "Creating backup ended successfully"),
                      tr("BackupCreatingPage", "Creating backup failed. See log for more info"), "backup")
        self.times["backup"] = self.m.elapsed() - t0
        ev = self.evidence("after-backup")
        self.check_untouched(ev, "after the backup")
        calls = ev.get("calls.log", [])
        want = "sv_archives -c /dev/%s -m rescue_image" % self.disk1
        check(any(want in c for c in calls), "no %r among the stand-ins' calls:\n%s" % (want, "\n".join(calls)))
        check(any("sarvelin_client start" in c for c in calls), "the local client was never started")
        log("backup done in %.0f s" % self.times["backup"])

    def check_offered(self, words, what):
        """The open disk list names both of the machine's disks and never
        the medium's own."""
        check(words.find(self.disk1) and words.find(self.disk2),
              "the %s list does not offer %s and %s; it reads:\n%s" % (what, self.disk1, self.disk2, words.text()))
        if self.usb_disk:
            check(not words.find(self.usb_disk),
                  "the medium's own disk %s is offered as %s" % (self.usb_disk, what))

    def mark_rows(self, words, rows):
        """Marks the fstab rows whose text holds `rows` in the "Need backup"
        column (its header's middle)."""
        head = words.find(self.tr("FstabView", "Need backup"))
        check(head, "no \"Need backup\" column on the disk page; it reads:\n%s" % words.text())
        for row in rows:
            box = words.find(row, part=True)
            check(box, "no row %r on the disk page; it reads:\n%s" % (row, words.text()))
            x = head[0] + head[2] // 2
            self.m.click(x, box[1] + box[3] // 2)
            time.sleep(1)

    def wait_end(self, done, failed, what):
        """Waits for the exit page of a run, closes notes left over it, and
        checks its result text."""
        # The exit page: its button, its text, or the footer's "To Start",
        # which a note left open over the page does not hide.
        self.wait([self.tr("ExitPage", "Exit"), self.tr("JournalFooter", "To Start"), done, failed],
                  900, what + "-ending", interval=6)
        time.sleep(2)
        self.m.keys("esc")  # a note may still be open above the page
        time.sleep(1.5)
        phrase, _, _ = self.wait([done, failed], 60, what + "-end")
        check(phrase == done, "the %s failed on the screen" % what)

    def again(self):
        """From the exit page back to the welcome page ("To Start" in the
        footer) and on to the scenario page."""
        self.click_text(self.tr("JournalFooter", "To Start"), 60)
        self.wait(self.tr("WelcomePage", "Choose language"), 60, "welcome-again")
        self.click_text(self.tr("WelcomePage", "Start"), 30)

    def restore(self):
        tr = self.tr
        t0 = self.m.elapsed()
        self.click_text(tr("ScenarioSelectionPage", "Restore"), 60, "scenario-restore")
        self.wait(tr("Window", "Choose server"), 60)
        self.type_into(tr("RestoreChoosingServerPage", "Sarvelin server"), "10.0.2.2")
        self.type_into(tr("RestoreChoosingServerPage", "Sarvelin key password"), "key-secret", secret=True)
        self.click_text(tr("RestoreChoosingServerPage", "Connect"), 30, "restore-server")
        self.wait(tr("RestoreChoosingServerPage", "Disconnect"), 120, "restore-connected")
        self.forward()
        self.wait(tr("Window", "Available backups"), 120)
        self.m.wait_text("1001", 60, "restore-backups", "eng")
        _, box, _ = self.m.wait_text("1001", 60, None, "eng")  # web01's unencrypted archive
        self.m.click_box(box)
        time.sleep(2)
        self.forward("restore-backup-chosen")
        self.wait(tr("Window", "Restore settings"), 60, "restore-settings")
        # The target: the NVMe disk; the list never offers the medium's disk.
        words = self.open_combo(tr("RestoreSettingsPage", "Restore target"), "restore-targets")
        self.check_offered(words, "restore target")
        self.m.click_box(words.find(self.disk2))
        time.sleep(2)
        self.type_into(tr("RestoreSettingsPage", "Enter client's password"), "web01-secret", secret=True)
        self.forward("restore-settings-done")
        _, _, words = self.wait(tr("Window", "Confirm chosen data: restore"), 60, "restore-confirm")
        if not words.find(self.disk2, part=True):
            words = self.read_in_english()
        check(words.find(self.disk2, part=True), "the confirmation does not name %s:\n%s" % (self.disk2, words.text()))
        self.forward()  # "Restore"
        # The LVM question names the NVMe disk's group and nothing of disk 1.
        yes = tr("CustomQuestionDialog", "Yes")
        done = tr("RestoreProcessPage", "Recovery ended successfully")
        phrase, box, words = self.wait([yes, tr("ExitPage", "Exit"), done], 300, "restore-lvm-question")
        check(phrase == yes, "the restore never asked about the NVMe disk's volume group")
        text = words.text()
        vg1, vg2 = self.env["VG1"], self.env["VG2"]
        if vg2 not in text:
            text += "\n" + self.read_in_english().text()
        check(vg2 in text, "the LVM question does not name %s:\n%s" % (vg2, text))
        check(vg1 not in text, "the LVM question names disk 1's group %s:\n%s" % (vg1, text))
        self.m.click_box(box)
        self.wait_end(tr("RestoreProcessPage", "Recovery ended successfully"),
                      tr("RestoreProcessPage", "Recovery failed. See log for more info"), "restore")
        self.times["restore"] = self.m.elapsed() - t0
        ev = self.evidence("after-restore")
        check(self.vgs(ev) == [vg1], "volume groups after the restore: %s (pvs: %s)"
              % (self.vgs(ev), ev.get("pvs")))
        reqs = ev.get("requests.log", [])
        want = ":/dev/%s:1001" % self.disk2
        check(any("SV KEY RESTORE ARCHIVES" in r and want in r for r in reqs),
              "no restore request for %s among:\n%s" % (want, "\n".join(reqs[-20:])))
        check(not any("web01-secret" in r for r in reqs), "the client password travels in clear")
        self.check_untouched(ev, "after the restore")
        log("restore done in %.0f s" % self.times["restore"])

    def run(self):
        try:
            if self.args.login_ratio:
                self.times["login"] = self.login_boot()
            self.boot()
            if self.args.login_ratio:
                ratio = self.times["window"] / self.times["login"]
                log("power-on to the window / to the login prompt: %.0f s / %.0f s = %.2f"
                    % (self.times["window"], self.times["login"], ratio))
                check(ratio <= LOGIN_RATIO_LIMIT, "the window takes %.2f times as long as the login prompt "
                      "(at most %.1f)" % (ratio, LOGIN_RATIO_LIMIT))
            self.start()
            self.backup()
            self.again()
            self.restore()
        finally:
            if self.m:
                self.times["total"] = self.m.elapsed()
                log("console tail:\n" + self.m.console()[-1500:])
                self.m.stop()
            with open(os.path.join(self.args.out, "times.txt"), "w") as f:
                for k, v in self.times.items():
                    f.write("%s %.0f\n" % (k, v))
            log("times (s):", ", ".join("%s %.0f" % kv for kv in self.times.items()))


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--mode", required=True, choices=["bios", "uefi", "secboot"])
    p.add_argument("--usb", action="store_true")
    p.add_argument("--lang", default="en", choices=["en", "ru"])
    p.add_argument("--login-ratio", action="store_true",
                   help="boot the text console entry first and compare its login prompt's time")
    p.add_argument("--iso", required=True)
    p.add_argument("--disks", required=True)
    p.add_argument("--out", required=True)
    p.add_argument("--source", required=True)
    args = p.parse_args()
    os.makedirs(args.out, exist_ok=True)
    if not os.path.exists(args.iso):
        print("medium image %s is missing: skipped" % args.iso)
        return 77
    try:
        Walk(args).run()
    except TestFailure as e:
        log("FAILED:", e)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
