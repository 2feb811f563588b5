<?xml version="1.0" encoding="utf-8" ?>
<ogr:FeatureCollection
     gml:id="aFeatureCollection"
     xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"
     xsi:schemaLocation="http://ogr.maptools.org/ out.xsd"
     xmlns:ogr="http://ogr.maptools.org/"
     xmlns:gml="http://www.opengis.net/gml/3.2">
  <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.19667 4.57778</gml:lowerCorner><gml:upperCorner>52.55667 5.12083</gml:upperCorner></gml:Envelope></gml:boundedBy>
                                                                                                                                                    
  <ogr:featureMember>
    <ogr:out gml:id="out.0">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.25917 4.75972</gml:lowerCorner><gml:upperCorner>52.25917 4.75972</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.0"><gml:pos>52.25917 4.75972</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Aalsmeer</ogr:name>
      <ogr:description>pop 22991</ogr:description>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.1">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.37403 4.88969</gml:lowerCorner><gml:upperCorner>52.37403 4.88969</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.1"><gml:pos>52.37403 4.88969</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Amsterdam</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.2">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.3075 4.97222</gml:lowerCorner><gml:upperCorner>52.3075 4.97222</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.2"><gml:pos>52.3075 4.97222</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Amsterdam-Zuidoost</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.3">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.32083 4.59861</gml:lowerCorner><gml:upperCorner>52.32083 4.59861</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.3"><gml:pos>52.32083 4.59861</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Bennebroek</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.4">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.4025 4.62222</gml:lowerCorner><gml:upperCorner>52.4025 4.62222</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.4"><gml:pos>52.4025 4.62222</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Bloemendaal</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.5">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.43417 4.99583</gml:lowerCorner><gml:upperCorner>52.43417 4.99583</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.5"><gml:pos>52.43417 4.99583</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Broek in Waterland</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.6">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.50902 4.65843</gml:lowerCorner><gml:upperCorner>52.50902 4.65843</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.6"><gml:pos>52.50902 4.65843</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Commandeurs</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.7">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.33083 4.61111</gml:lowerCorner><gml:upperCorner>52.33083 4.61111</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.7"><gml:pos>52.33083 4.61111</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>De Glip</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.8">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.55667 4.84583</gml:lowerCorner><gml:upperCorner>52.55667 4.84583</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.8"><gml:pos>52.55667 4.84583</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>De Rijp</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.9">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.30583 5.01667</gml:lowerCorner><gml:upperCorner>52.30583 5.01667</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.9"><gml:pos>52.30583 5.01667</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Driemond</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.10">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.32941 4.93964</gml:lowerCorner><gml:upperCorner>52.32941 4.93964</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.10"><gml:pos>52.32941 4.93964</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Duivendrecht</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.11">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.51215 5.04805</gml:lowerCorner><gml:upperCorner>52.51215 5.04805</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.11"><gml:pos>52.51215 5.04805</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Edam</ogr:name>
      <ogr:description>pop 7380</ogr:description>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.12">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.3825 4.75417</gml:lowerCorner><gml:upperCorner>52.3825 4.75417</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.12"><gml:pos>52.3825 4.75417</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Halfweg</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.13">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.52417 4.92778</gml:lowerCorner><gml:upperCorner>52.52417 4.92778</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.13"><gml:pos>52.52417 4.92778</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Halfweg</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.14">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.3825 4.75417</gml:lowerCorner><gml:upperCorner>52.3825 4.75417</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.14"><gml:pos>52.3825 4.75417</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Halfweg Old Town</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.15">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.51108 4.67165</gml:lowerCorner><gml:upperCorner>52.51108 4.67165</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.15"><gml:pos>52.51108 4.67165</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Heemskerk</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.16">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.44333 4.65833</gml:lowerCorner><gml:upperCorner>52.44333 4.65833</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.16"><gml:pos>52.44333 4.65833</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Hofgeest</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.17">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.4603 4.61048</gml:lowerCorner><gml:upperCorner>52.4603 4.61048</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.17"><gml:pos>52.4603 4.61048</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>IJmuiden</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.18">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.4175 4.90561</gml:lowerCorner><gml:upperCorner>52.4175 4.90561</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.18"><gml:pos>52.4175 4.90561</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Kadoelen</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.19">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.23917 5.10694</gml:lowerCorner><gml:upperCorner>52.23917 5.10694</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.19"><gml:pos>52.23917 5.10694</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Kortenhoef</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.20">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.23417 4.75139</gml:lowerCorner><gml:upperCorner>52.23417 4.75139</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.20"><gml:pos>52.23417 4.75139</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Kudelstaart</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.21">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.43083 4.91528</gml:lowerCorner><gml:upperCorner>52.43083 4.91528</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.21"><gml:pos>52.43083 4.91528</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Landsmeer</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.22">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.492 4.75849</gml:lowerCorner><gml:upperCorner>52.492 4.75849</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.22"><gml:pos>52.492 4.75849</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Langeheit</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.23">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.54917 4.9125</gml:lowerCorner><gml:upperCorner>52.54917 4.9125</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.23"><gml:pos>52.54917 4.9125</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Middenbeemster</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.24">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.20667 4.8625</gml:lowerCorner><gml:upperCorner>52.20667 4.8625</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.24"><gml:pos>52.20667 4.8625</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Mijdrecht</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.25">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.32583 5.12083</gml:lowerCorner><gml:upperCorner>52.32583 5.12083</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.25"><gml:pos>52.32583 5.12083</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Muiderberg</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.26">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.19667 4.75694</gml:lowerCorner><gml:upperCorner>52.19667 4.75694</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.26"><gml:pos>52.19667 4.75694</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Nieuwveen</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.27">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.27917 4.79583</gml:lowerCorner><gml:upperCorner>52.27917 4.79583</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.27"><gml:pos>52.27917 4.79583</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Oosteinde</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.28">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.505 4.95972</gml:lowerCorner><gml:upperCorner>52.505 4.95972</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.28"><gml:pos>52.505 4.95972</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Purmerend</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.29">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.52917 4.70972</gml:lowerCorner><gml:upperCorner>52.52917 4.70972</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.29"><gml:pos>52.52917 4.70972</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Uitgeest</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.30">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.35083 4.67778</gml:lowerCorner><gml:upperCorner>52.35083 4.67778</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.30"><gml:pos>52.35083 4.67778</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Vijfhuizen</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.31">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.35083 4.67779</gml:lowerCorner><gml:upperCorner>52.35083 4.67779</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.31"><gml:pos>52.35083 4.67779</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Vijfhuizen</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.32">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.31917 4.57778</gml:lowerCorner><gml:upperCorner>52.31917 4.57778</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.32"><gml:pos>52.31917 4.57778</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Vogelenzang</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.33">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.495 5.07083</gml:lowerCorner><gml:upperCorner>52.495 5.07083</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.33"><gml:pos>52.495 5.07083</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Volendam</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.34">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.49507 5.07068</gml:lowerCorner><gml:upperCorner>52.49507 5.07068</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.34"><gml:pos>52.49507 5.07068</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Volendam Station</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.35">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.5044 4.65608</gml:lowerCorner><gml:upperCorner>52.5044 4.65608</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.35"><gml:pos>52.5044 4.65608</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Waterakkers</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.36">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.3075 5.04167</gml:lowerCorner><gml:upperCorner>52.3075 5.04167</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.36"><gml:pos>52.3075 5.04167</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Weesp</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.37">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.19667 4.89722</gml:lowerCorner><gml:upperCorner>52.19667 4.89722</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.37"><gml:pos>52.19667 4.89722</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Wilnis</ogr:name>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.38">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.47494 4.80686</gml:lowerCorner><gml:upperCorner>52.47494 4.80686</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.38"><gml:pos>52.47494 4.80686</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Zaandijk</ogr:name>
      <ogr:description>pop 9040</ogr:description>
    </ogr:out>
  </ogr:featureMember>
  <ogr:featureMember>
    <ogr:out gml:id="out.39">
      <gml:boundedBy><gml:Envelope srsName="urn:ogc:def:crs:EPSG::4326"><gml:lowerCorner>52.3125 4.61667</gml:lowerCorner><gml:upperCorner>52.3125 4.61667</gml:upperCorner></gml:Envelope></gml:boundedBy>
      <ogr:geometryProperty><gml:Point srsName="urn:ogc:def:crs:EPSG::4326" gml:id="out.geom.39"><gml:pos>52.3125 4.61667</gml:pos></gml:Point></ogr:geometryProperty>
      <ogr:name>Zwaanshoek</ogr:name>
    </ogr:out>
  </ogr:featureMember>
</ogr:FeatureCollection>
