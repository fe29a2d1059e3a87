#!/usr/bin/env python3
"""Writes the order-handling process (process 1) of example_log.xml and adds the complaint case
that skips the analysis; the other processes are kept as they are. Run from the data folder:
python3 make_example_log.py > example_log.xml.new"""
import random
import re
from datetime import datetime, timedelta

random.seed(7)
PEOPLE = ["anne", "bart", "carla", "dirk", "eva"]


def entry(when, task):
    return (f"      <audit_trail_entry>\n"
            f"        <date>{when:%d-%m-%Y}</date>\n"
            f"        <time>{when:%H:%M}:00</time>\n"
            f"        <task_name>{task}</task_name>\n"
            f"        <event kind=\"complete\"/>\n"
            f"        <originator>{random.choice(PEOPLE)}</originator>\n"
            f"      </audit_trail_entry>\n")


def order_case(number, start):
    t = start
    events = []

    def step(task, low, high):
        nonlocal t
        t += timedelta(minutes=random.randint(low, high))
        events.append((t, task))

    step("receive order", 0, 0)
    checks = [("check credit", 20, 240), ("check stock", 10, 90)]
    random.shuffle(checks)
    for task, low, high in checks:
        step(task, low, high)
    if number % 5 == 3:
        step("reject order", 30, 180)
    else:
        step("approve order", 30, 180)
        step("ship goods", 600, 1800)
        step("send invoice", 20, 120)
        for _ in range([0, 0, 1, 1, 2][number % 5]):
            step("send reminder", 7 * 1440, 10 * 1440)
        step("receive payment", 2 * 1440, 9 * 1440)
    step("close order", 10, 60)
    body = "".join(entry(when, task) for when, task in events)
    return f"    <process_instance id=\"order_{number:03d}\">\n{body}    </process_instance>\n"


def main():
    old = open("example_log.xml", encoding="utf-8").read()
    head = old[:old.index('  <process id="1"')]
    rest = old[old.index('  <process id="2"'):]
    cases = []
    start = datetime(2002, 3, 4, 8, 30)
    for number in range(1, 31):
        start += timedelta(minutes=random.randint(90, 900))
        cases.append(order_case(number, start))
    process1 = ('  <process id="1" description="order handling">\n' + "".join(cases) +
                "  </process>\n")
    if "complaint_09" not in rest:
        misfit = ("    <process_instance id=\"complaint_09\">\n" +
                  entry(datetime(2002, 3, 14, 9, 12), "register complaint") +
                  entry(datetime(2002, 3, 14, 9, 40), "compensate customer") +
                  entry(datetime(2002, 3, 14, 10, 15), "close complaint") +
                  "    </process_instance>\n")
        at = rest.index("  </process>")
        rest = rest[:at] + misfit + rest[at:]
    print(head + process1 + rest, end="")


main()
