"""The page on a large week in headless Chromium: the time from the click
on #run to the results shown, as the page measures it (the driver's own
measure, some 0.5 s longer, comes beside it), the grouping time the page
reports, and the peak memory of the browser's processes (sampled from /proc
every 100 ms).

Usage: page_bench.py SITE_DIR TABLE_DIR INPUT TODAY
Prints one line: "page SECONDS s (grouping SECONDS s; SECONDS s as the driver
saw it), peak renderer RSS MB, peak browser total RSS MB".
"""

import os
import re
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support import expected_conditions as ready
from selenium.webdriver.support.ui import WebDriverWait

SITE, TABLES, INPUT, TODAY = sys.argv[1:5]


def processes(root):
    """The process ids under `root`, itself included."""
    children = {}
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open(f"/proc/{pid}/stat") as f:
                parent = int(f.read().rsplit(")", 1)[1].split()[1])
        except OSError:
            continue
        children.setdefault(parent, []).append(int(pid))
    found, todo = [], [root]
    while todo:
        pid = todo.pop()
        found.append(pid)
        todo.extend(children.get(pid, []))
    return found


def rss_mb(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            return int(re.search(r"VmRSS:\s+(\d+)", f.read()).group(1)) / 1024
    except (OSError, AttributeError):
        return 0.0


def cmdline(pid):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            return f.read().decode(errors="replace")
    except OSError:
        return ""


def main():
    profile = tempfile.mkdtemp()
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                 "--no-first-run", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--disable-dev-shm-usage",
                 f"--user-data-dir={profile}"]:
        options.add_argument(flag)
    service = Service("/usr/bin/chromedriver")
    browser = webdriver.Chrome(service=service, options=options)
    peaks = {"renderer": 0.0, "total": 0.0}
    running = True

    def sample():
        while running:
            pids = [p for p in processes(service.process.pid) if p != service.process.pid]
            sizes = {p: rss_mb(p) for p in pids}
            renderers = [s for p, s in sizes.items() if "--type=renderer" in cmdline(p)]
            peaks["renderer"] = max(peaks["renderer"], max(renderers, default=0.0))
            peaks["total"] = max(peaks["total"], sum(sizes.values()))
            time.sleep(0.1)

    try:
        browser.get("file://" + os.path.join(SITE, "index.html"))
        browser.find_element(By.ID, "tables").send_keys("\n".join(
            os.path.join(TABLES, n) for n in ["arbressr.tab", "ccamcssr.tab", "diag10sr.tab"]))
        browser.find_element(By.ID, "input").send_keys(INPUT)
        today = browser.find_element(By.ID, "today")
        today.clear()
        today.send_keys(TODAY)
        sampler = threading.Thread(target=sample)
        sampler.start()
        start = time.monotonic()
        browser.find_element(By.ID, "run").click()
        WebDriverWait(browser, 3600, poll_frequency=0.05).until(
            ready.presence_of_element_located((By.CSS_SELECTOR, "a#download-grp[href]")))
        driven = time.monotonic() - start
        running = False
        sampler.join()
        grouping = re.search(r"([0-9.]+) s", browser.find_element(By.ID, "status").text).group(1)
        WebDriverWait(browser, 60, poll_frequency=0.05).until(
            ready.presence_of_element_located((By.CSS_SELECTOR, "#results[data-seconds]")))
        page = browser.find_element(By.ID, "results").get_attribute("data-seconds")
        print(f"page {page} s (grouping {grouping} s; {driven:.2f} s as the driver saw it), "
              f"peak renderer RSS {peaks['renderer']:.0f} MB, peak browser total RSS "
              f"{peaks['total']:.0f} MB")
    finally:
        running = False
        browser.quit()


if __name__ == "__main__":
    main()
